#pragma once

#include "model/sensor_reading.h"

#include <string>
#include <vector>

namespace tarsik {

// The "Copy Sensor Debug" text: one "name: value unit | note" line per reading, nothing trimmed,
// joined by line feeds without a final one. Empty for no readings.
std::string sensorDebugText(const std::vector<SensorReading>& readings);

} // namespace tarsik
