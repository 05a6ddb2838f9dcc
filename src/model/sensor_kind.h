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
    // The kind's name in a reading's measurement and in tarsik-report's JSON.
    std::string_view key;
};

// The name and unit that sensor discovery gives the one reading it keeps of each kind, in kind order.
inline constexpr std::array<CanonicalSensorForm, 6> canonicalSensorForms{{
    {SensorKind::temperature, "GPU Temperature", "\u00B0C", "temperature"},
    {SensorKind::power, "GPU Power", "W", "power"},
    {SensorKind::fan, "Fan Speed", "RPM", "fan"},
    {SensorKind::coreClock, "Core Clock", "MHz", "coreClock"},
    {SensorKind::memoryClock, "Memory Clock", "MHz", "memoryClock"},
    {SensorKind::load, "GPU Load", "%", "load"},
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

// The readings a driver offers beyond the six, listed after them under "More readings", in this
// order. `baseUnit` is the unit of the measured value; the row shows a unit that suits its size.
struct MoreReadingForm {
    std::string_view kind;
    std::string_view name; // a voltage is named by its rail instead
    std::string_view baseUnit;
};

inline constexpr std::array<MoreReadingForm, 10> moreReadingForms{{
    {"junctionTemperature", "Junction Temperature", "\u00B0C"},
    {"memoryTemperature", "Memory Temperature", "\u00B0C"},
    {"memoryUsed", "Memory Used", "B"},
    {"gttUsed", "GTT Used", "B"},
    {"gttTotal", "GTT Total", "B"},
    {"fanDuty", "Fan Duty", "%"},
    {"powerLimit", "Power Limit", "W"},
    {"packagePower", "Package Power", "W"},
    {"voltage", "Voltage", "V"},
    {"runtimeSuspended", "Sleep State", ""},
}};

// A reading beyond the six: measured, but of none of the canonical kinds.
inline bool isMoreReading(const SensorReading& reading) {
    if (!reading.measurement) {
        return false;
    }
    for (const auto& form : canonicalSensorForms) {
        if (reading.measurement->kind == form.key) {
            return false;
        }
    }
    return true;
}

} // namespace tarsik
