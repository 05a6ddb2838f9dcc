#include "clean_stop.h"
#include "collector/gpu_info_collector.h"
#include "platform/diagnostics.h"
#include "platform/profiler_location.h"
#include "store/gpu_store.h"
#include "store/pooled_collector.h"
#include "texts/csv_report.h"
#include "texts/json_report.h"
#include "texts/prometheus_report.h"
#include "texts/report_text.h"

#include <QCoreApplication>
#include <QCoro/QCoroTask>
#include <QCoro/QCoroTimer>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

// A script that runs the report must never hang on a wedged driver or profiler.
constexpr std::chrono::seconds reportDeadline{30};

enum class Form { text, json, prometheus, csv };

struct Options {
    Form form = Form::text;
    bool verbose = false;
    bool help = false;
    // The CSV log's period and number of samples; one sample without a period.
    std::optional<std::chrono::milliseconds> interval;
    std::optional<long long> count;
};

constexpr const char* usage =
    R"(Usage: tarsik-report [--json | --prometheus | --csv [--interval SECONDS [--count N]]] [--verbose]
Prints every GPU of this machine as the Tarsik window shows it: by default its validation
report and sensor readings as text.

  --json              one JSON document (schema: /usr/share/doc/tarsik/tarsik-report.schema.json)
  --prometheus        metrics for node_exporter's textfile collector
  --csv               a header, then one line per GPU with its readings
  --interval SECONDS  with --csv, read the sensors again every SECONDS (0.1 or more) until
                      Ctrl+C, the reader closing the output, or --count samples
  --count N           with --interval, stop after N samples
  --verbose           say on standard error why a source gave nothing
  --help              show this text
)";

// Shorter periods would spend more on reading than the log is worth.
constexpr double shortestInterval = 0.1;
constexpr double longestInterval = 86400;

std::optional<std::chrono::milliseconds> intervalFrom(std::string_view text) {
    double seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(seconds) ||
        seconds < shortestInterval || seconds > longestInterval) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(std::llround(seconds * 1000));
}

std::optional<long long> countFrom(std::string_view text) {
    long long count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc{} || end != text.data() + text.size() || count < 1) {
        return std::nullopt;
    }
    return count;
}

bool sayInvalid(const char* option, const char* value, const char* wanted) {
    std::fprintf(stderr, "tarsik-report: %s wants %s, not '%s'\n", option, wanted, value);
    return false;
}

// Reads the value of `--interval` or `--count` at argv[i + 1]; false after saying what is wrong.
bool parseValue(Options& options, std::string_view option, int& i, int argc, char* argv[]) {
    if (i + 1 >= argc) {
        std::fprintf(stderr, "tarsik-report: %s wants a value\n", argv[i]);
        return false;
    }
    const char* value = argv[++i];
    if (option == "--interval") {
        options.interval = intervalFrom(value);
        return options.interval || sayInvalid(argv[i - 1], value, "seconds from 0.1 to 86400");
    }
    options.count = countFrom(value);
    return options.count || sayInvalid(argv[i - 1], value, "a whole number from 1");
}

// Nothing when the arguments are not ours, after saying so.
std::optional<Options> parseArguments(int argc, char* argv[]) {
    Options options;
    int forms = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--json" || argument == "--prometheus" || argument == "--csv") {
            options.form = argument == "--json"  ? Form::json
                           : argument == "--csv" ? Form::csv
                                                 : Form::prometheus;
            ++forms;
        } else if (argument == "--interval" || argument == "--count") {
            if (!parseValue(options, argument, i, argc, argv)) {
                return std::nullopt;
            }
        } else if (argument == "--verbose") {
            options.verbose = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else {
            std::fprintf(stderr, "tarsik-report: unknown argument '%s'\n", argv[i]);
            return std::nullopt;
        }
    }
    if (forms > 1) {
        std::fputs("tarsik-report: --json, --prometheus and --csv exclude each other\n", stderr);
        return std::nullopt;
    }
    if (options.interval && options.form != Form::csv) {
        std::fputs("tarsik-report: --interval goes with --csv\n", stderr);
        return std::nullopt;
    }
    if (options.count && !options.interval) {
        std::fputs("tarsik-report: --count goes with --interval\n", stderr);
        return std::nullopt;
    }
    return options;
}

std::string formatted(Form form, const std::vector<tarsik::GPUReport>& reports,
                      std::chrono::system_clock::time_point generatedAt) {
    switch (form) {
    case Form::json:
        return tarsik::jsonReport(reports, generatedAt);
    case Form::prometheus:
        return tarsik::prometheusReport(reports);
    case Form::csv:
        return tarsik::csvHeader() + tarsik::csvRows(reports, generatedAt);
    case Form::text:
        break;
    }
    return tarsik::reportText(reports, generatedAt);
}

void sayWhichReadingsWereLate(const std::vector<tarsik::GPUReport>& reports) {
    for (const auto& report : reports) {
        if (!report.readingsLate) {
            continue;
        }
        const auto* slot = tarsik::pciSlotOf(report.device);
        std::fprintf(stderr, "tarsik-report: the readings of %s%s%s%s did not come within %lld s\n",
                     report.device.name.c_str(), slot ? " (" : "", slot ? slot->c_str() : "", slot ? ")" : "",
                     static_cast<long long>(reportDeadline.count()));
    }
}

enum class Written { whole, readerGone, failed };

// Straight to the descriptor, so that each sample leaves the process whole or not at all.
Written writeOut(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const auto count = ::write(STDOUT_FILENO, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            if (errno == EPIPE) {
                return Written::readerGone;
            }
            std::fprintf(stderr, "tarsik-report: cannot write: %s\n", std::strerror(errno));
            return Written::failed;
        }
        done += static_cast<std::size_t>(count);
    }
    return Written::whole;
}

// The CSV log with --interval: the report's pass through the store, then the sensors alone, every period from
// the first sample's start. A read that overruns the period delays the next; reads never pile up.
QCoro::Task<int> logCsv(tarsik::GPUStore& store, Options options) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto sampledAt = std::chrono::system_clock::now();
    auto reports = co_await store.reportEveryGPU(reportDeadline);
    std::string text = tarsik::csvHeader();
    const long long samples = options.count.value_or(0); // none: until stopped
    for (long long sample = 1;; ++sample) {
        sayWhichReadingsWereLate(reports);
        text += tarsik::csvRows(reports, sampledAt);
        const auto written = writeOut(text);
        if (written != Written::whole) {
            co_return written == Written::readerGone ? 0 : 1;
        }
        if (samples != 0 && sample >= samples) {
            co_return 0;
        }
        const auto next = start + sample * *options.interval;
        if (next > Clock::now()) {
            co_await QCoro::sleepUntil(next);
        }
        sampledAt = std::chrono::system_clock::now();
        reports = co_await store.readSensorsAgain(std::move(reports), reportDeadline);
        text.clear();
    }
}

} // namespace

// Prints the GPUs of the machine for scripts, monitoring and bug reports, also without a display.
int main(int argc, char* argv[]) {
    const auto options = parseArguments(argc, argv);
    if (!options) {
        std::fputs("Try 'tarsik-report --help'.\n", stderr);
        return 2;
    }
    if (options->help) {
        std::fputs(usage, stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (options->verbose) {
        tarsik::platform::setDiagnosticSink(tarsik::platform::standardErrorSink());
    }
    QCoreApplication app(argc, argv);
    auto collector = std::make_shared<tarsik::GPUInfoCollector>(tarsik::platform::linuxServices(
        tarsik::platform::profilerFor(tarsik::platform::currentExecutable())));
    tarsik::GPUStore store(std::make_shared<tarsik::PooledCollector>(collector));
    if (options->interval) {
        tarsik::stopCleanlyOnInterruptOrClosedOutput(app);
        QCoro::connect(logCsv(store, *options), &app, [](int status) { QCoreApplication::exit(status); });
        return QCoreApplication::exec();
    }
    const auto form = options->form;
    QCoro::connect(store.reportEveryGPU(reportDeadline), &app,
                   [form](const std::vector<tarsik::GPUReport>& reports) {
                       sayWhichReadingsWereLate(reports);
                       const auto text = formatted(form, reports, std::chrono::system_clock::now());
                       const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
                       QCoreApplication::exit(written && std::fflush(stdout) == 0 ? 0 : 1);
                   });
    return QCoreApplication::exec();
}
