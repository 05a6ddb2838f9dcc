#include "collector/gpu_info_collector.h"
#include "platform/profiler_location.h"
#include "ui/tabs/sensor_debug_text.h"
#include "ui/tabs/validation_report.h"

#include <chrono>
#include <cstdio>
#include <string>

// Prints the validation report of every GPU of the full inventory, for machines without a
// display and for bug reports.
int main() {
    const tarsik::GPUInfoCollector collector(tarsik::platform::linuxServices(
        tarsik::platform::profilerFor(tarsik::platform::currentExecutable())));
    const auto devices = collector.collectSynchronously();
    const auto now = std::chrono::system_clock::now();
    std::string text;
    for (const auto& device : devices) {
        if (!text.empty()) {
            text += "\n\n";
        }
        text += tarsik::validationReport(&device, now);
        // Full sensor discovery, in the form the Sensors tab copies.
        text += "\n\n" + tarsik::sensorDebugText(collector.sensorsSynchronously(&device));
    }
    text += '\n';
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}
