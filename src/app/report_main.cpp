#include "collector/gpu_info_collector.h"
#include "store/advanced_rows.h"
#include "ui/tabs/sensor_debug_text.h"

#include <cstdio>
#include <string>

// Prints what the window shows for every GPU, for machines without a display and for bug reports.
int main() {
    const tarsik::GPUInfoCollector collector(tarsik::platform::linuxServices());
    std::string text;
    bool first = true;
    for (const auto& device : collector.collectFast()) {
        if (!first) {
            text += '\n';
        }
        first = false;
        text += device.name + '\n';
        for (const auto& reading : tarsik::GPUInfoCollector::basicSensorsSynchronously(&device)) {
            text += "  " + reading.name + ": " + reading.value + '\n';
        }
        for (const auto& row : tarsik::advancedRowsFor(&device)) {
            text += "  " + row.key + ": " + row.value + '\n';
        }
        // Full sensor discovery, in the form the Sensors tab copies.
        text += tarsik::sensorDebugText(collector.sensorsSynchronously(&device)) + '\n';
    }
    std::fputs(text.c_str(), stdout);
    return 0;
}
