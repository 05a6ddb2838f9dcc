#pragma once

#include "model/sensor_reading.h"

#include <array>
#include <optional>
#include <string_view>

namespace tarsik {

// The sensor kinds the Sensors tab shows, in its order, one canonical reading each.
enum class SensorKind { temperature, power, fan, coreClock, memoryClock, load };

struct CanonicalSensorForm {
    SensorKind kind;
    std::string_view name;
    std::string_view unit;
};

// The name and unit that sensor discovery gives the one reading it keeps of each kind, in kind order.
inline constexpr std::array<CanonicalSensorForm, 6> canonicalSensorForms{{
    {SensorKind::temperature, "GPU Temperature", "\u00B0C"},
    {SensorKind::power, "GPU Power", "W"},
    {SensorKind::fan, "Fan Speed", "RPM"},
    {SensorKind::coreClock, "Core Clock", "MHz"},
    {SensorKind::memoryClock, "Memory Clock", "MHz"},
    {SensorKind::load, "GPU Load", "%"},
}};

// The kind of a reading in its canonical form; nothing for any other reading, such as the basic
// readings or the no-sensors placeholder.
inline std::optional<SensorKind> canonicalFormKind(const SensorReading& reading) {
    for (const auto& form : canonicalSensorForms) {
        if (reading.name == form.name && reading.unit == form.unit) {
            return form.kind;
        }
    }
    return std::nullopt;
}

} // namespace tarsik
