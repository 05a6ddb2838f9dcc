#include "texts/report_values.h"

#include "model/sensor_kind.h"

#include <cmath>
#include <ctime>

namespace tarsik {
namespace {

constexpr std::string_view sleepKind = "runtimeSuspended";

// The unit of a measurement of this kind; nothing for a kind the forms do not print.
std::optional<std::string_view> unitOf(const SensorReading& reading) {
    const auto& kind = reading.measurement->kind;
    for (const auto& form : canonicalSensorForms) {
        if (kind == form.key) {
            return form.unit;
        }
    }
    for (const auto& form : moreReadingForms) {
        if (kind == form.kind && kind != sleepKind) {
            return form.baseUnit;
        }
    }
    return std::nullopt;
}

} // namespace

std::vector<MeasuredReading> measuredReadings(const std::vector<SensorReading>& readings) {
    std::vector<MeasuredReading> measured;
    for (const auto& reading : readings) {
        if (!reading.measurement || !std::isfinite(reading.measurement->value)) {
            continue;
        }
        if (const auto unit = unitOf(reading)) {
            measured.push_back(MeasuredReading{.kind = reading.measurement->kind, .unit = *unit, .reading = &reading});
        }
    }
    return measured;
}

std::optional<bool> runtimeSuspended(const std::vector<SensorReading>& readings) {
    for (const auto& reading : readings) {
        if (reading.measurement && reading.measurement->kind == sleepKind) {
            return reading.measurement->value != 0;
        }
    }
    return std::nullopt;
}

std::string isoTimestamp(std::chrono::system_clock::time_point time) {
    const std::time_t seconds =
        std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(time));
    std::tm utc{};
    char text[32] = "1970-01-01T00:00:00Z";
    if (::gmtime_r(&seconds, &utc) != nullptr) {
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    }
    return text;
}

} // namespace tarsik
