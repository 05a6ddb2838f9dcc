#pragma once

#include "model/sensor_reading.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarsik {

// A measured reading as the machine-readable forms print it: its kind, the unit of its
// measurement (the canonical unit of the six, the base unit of the others) and the reading,
// whose measurement holds the number as the source gave it.
struct MeasuredReading {
    std::string_view kind;
    std::string_view unit;
    const SensorReading* reading;

    double value() const { return reading->measurement->value; }
};

// A GPU's measurements in their order: the canonical readings, then the further ones. What is
// not a measurement (name, memory, support, display count, the no-sensors placeholder) is left
// out, and so is the sleep state, which describes the GPU rather than measures it.
std::vector<MeasuredReading> measuredReadings(const std::vector<SensorReading>& readings);

// Whether the readings say the GPU sleeps; nothing when they do not tell.
std::optional<bool> runtimeSuspended(const std::vector<SensorReading>& readings);

// Plain digits where they fit ("2250000000", not "2.25e+09"), the shortest text that reads back
// as the same value.
std::string plainNumber(double value);

// "2026-12-05T04:46:12Z".
std::string isoTimestamp(std::chrono::system_clock::time_point time);
// "2026-12-05T04:46:12.034Z".
std::string isoTimestampWithMilliseconds(std::chrono::system_clock::time_point time);

} // namespace tarsik
