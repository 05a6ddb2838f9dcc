#include "texts/sensor_debug_text.h"

namespace tarsik {

std::string sensorDebugText(const std::vector<SensorReading>& readings) {
    std::string text;
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const auto& reading = readings[i];
        if (i > 0) {
            text += '\n';
        }
        text += reading.name + ": " + reading.value + " " + reading.unit + " | " + reading.note;
    }
    return text;
}

} // namespace tarsik
