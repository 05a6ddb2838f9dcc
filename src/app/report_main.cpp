#include "collector/gpu_info_collector.h"
#include "platform/profiler_location.h"
#include "store/gpu_store.h"
#include "store/pooled_collector.h"
#include "texts/report_text.h"

#include <QCoreApplication>
#include <QCoro/QCoroTask>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

// A script that runs the report must never hang on a wedged driver or profiler.
constexpr std::chrono::seconds reportDeadline{30};

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

// Prints the validation report and sensor readings of every GPU, for machines without a
// display and for bug reports.
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    auto collector = std::make_shared<tarsik::GPUInfoCollector>(tarsik::platform::linuxServices(
        tarsik::platform::profilerFor(tarsik::platform::currentExecutable())));
    tarsik::GPUStore store(std::make_shared<tarsik::PooledCollector>(collector));
    QCoro::connect(store.reportEveryGPU(reportDeadline), &app,
                   [](const std::vector<tarsik::GPUReport>& reports) {
                       sayWhichReadingsWereLate(reports);
                       const auto text = tarsik::reportText(reports, std::chrono::system_clock::now());
                       const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
                       QCoreApplication::exit(written && std::fflush(stdout) == 0 ? 0 : 1);
                   });
    return QCoreApplication::exec();
}
