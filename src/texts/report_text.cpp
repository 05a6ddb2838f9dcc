#include "texts/report_text.h"

#include "texts/sensor_debug_text.h"
#include "texts/validation_report.h"

namespace tarsik {

std::string reportText(const std::vector<GPUReport>& reports,
                       std::chrono::system_clock::time_point generatedAt) {
    std::string text;
    for (const auto& report : reports) {
        if (!text.empty()) {
            text += "\n\n";
        }
        text += validationReport(&report.device, generatedAt);
        text += "\n\n" + sensorDebugText(report.readings);
    }
    return text + '\n';
}

} // namespace tarsik
