#pragma once

#include "model/uuid.h"

#include <string>

namespace tarsik {

// One line of the Sensors tab: the value is formatted text, the unit is shown after it.
struct SensorReading {
    UUID id{};
    std::string name{};
    std::string value{};
    std::string unit{};
    std::string note{};

    friend bool operator==(const SensorReading&, const SensorReading&) = default;
};

} // namespace tarsik

template <> struct std::hash<tarsik::SensorReading> {
    std::size_t operator()(const tarsik::SensorReading& reading) const noexcept;
};
