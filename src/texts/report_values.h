#pragma once

#include "model/gpu_device.h"
#include "model/sensor_kind.h"
#include "model/sensor_reading.h"

#include <chrono>
#include <string>
#include <vector>

namespace tarsik {

// A dynamic reading as the machine-readable forms print it: its kind and its value as a number.
struct DynamicReading {
    SensorKind kind;
    double value;
    const SensorReading* reading;
};

// The canonical readings among a GPU's readings, in their order, whose value text is a number.
// The basic readings (name, memory, support, display count) and the no-sensors placeholder are
// not measurements, so they are left out.
std::vector<DynamicReading> dynamicReadings(const std::vector<SensorReading>& readings);

// "2026-12-05T04:46:12Z".
std::string isoTimestamp(std::chrono::system_clock::time_point time);

} // namespace tarsik
