#include "collector/gpu_info_collector.h"
#include "platform/diagnostics.h"
#include "platform/profiler_location.h"
#include "store/gpu_store.h"
#include "store/pooled_collector.h"
#include "texts/json_report.h"
#include "texts/prometheus_report.h"
#include "texts/report_text.h"

#include <QCoreApplication>
#include <QCoro/QCoroTask>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace {

// A script that runs the report must never hang on a wedged driver or profiler.
constexpr std::chrono::seconds reportDeadline{30};

enum class Form { text, json, prometheus };

struct Options {
    Form form = Form::text;
    bool verbose = false;
    bool help = false;
};

constexpr const char* usage = R"(Usage: tarsik-report [--json | --prometheus] [--verbose]
Prints every GPU of this machine as the Tarsik window shows it: by default its validation
report and sensor readings as text.

  --json        one JSON document (schema: /usr/share/doc/tarsik/tarsik-report.schema.json)
  --prometheus  metrics for node_exporter's textfile collector
  --verbose     say on standard error why a source gave nothing
  --help        show this text
)";

// Nothing when the arguments are not ours, after saying so.
std::optional<Options> parseArguments(int argc, char* argv[]) {
    Options options;
    int forms = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--json" || argument == "--prometheus") {
            options.form = argument == "--json" ? Form::json : Form::prometheus;
            ++forms;
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
        std::fputs("tarsik-report: --json and --prometheus exclude each other\n", stderr);
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
