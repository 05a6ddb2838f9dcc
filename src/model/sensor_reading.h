#pragma once

#include "model/uuid.h"

#include <optional>
#include <string>

namespace tarsik {

// What a reading measured, beside its display text: the number in the units of its kind, as
// the source gave it, and the source itself. The machine-readable forms print these, never the
// rounded text.
struct Measurement {
    // "temperature" ... "load" for the six canonical kinds; "junctionTemperature", "memoryUsed",
    // "voltage", ... for the readings beyond them.
    std::string kind{};
    double value = 0;
    // The sysfs attribute (a path below the device's folder) or the library call.
    std::string origin{};

    friend bool operator==(const Measurement&, const Measurement&) = default;
};

// One line of the Sensors tab: the value is formatted text, the unit is shown after it.
struct SensorReading {
    UUID id{};
    std::string name{};
    std::string value{};
    std::string unit{};
    std::string note{};
    // None for what is not a measurement: a GPU's name, the no-sensors placeholder.
    std::optional<Measurement> measurement{};

    friend bool operator==(const SensorReading&, const SensorReading&) = default;
};

} // namespace tarsik

template <> struct std::hash<tarsik::SensorReading> {
    std::size_t operator()(const tarsik::SensorReading& reading) const noexcept;
};
