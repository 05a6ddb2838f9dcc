#include "texts/text_report.h"

#include "texts/sensor_debug_text.h"
#include "texts/validation_report.h"

namespace tarsik {

std::string textReport(const std::vector<GpuReport>& gpus,
                       std::chrono::system_clock::time_point generatedAt) {
    if (gpus.empty()) {
        return validationReport(nullptr, generatedAt) + '\n';
    }
    std::string text;
    for (const auto& gpu : gpus) {
        if (!text.empty()) {
            text += "\n\n";
        }
        text += validationReport(&gpu.device, generatedAt) + "\n\n";
        text += gpu.readingsLate ? "Sensor readings: not ready before the deadline"
                                 : sensorDebugText(gpu.readings);
    }
    return text + '\n';
}

} // namespace tarsik
