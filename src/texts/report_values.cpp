#include "texts/report_values.h"

#include "model/sensor_kind.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
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
            measured.push_back(
                MeasuredReading{.kind = reading.measurement->kind, .unit = *unit, .reading = &reading});
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

std::string plainNumber(double value) {
    std::array<char, 64> text{};
    auto result = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (result.ec != std::errc{}) {
        result = std::to_chars(text.data(), text.data() + text.size(), value);
    }
    return std::string(text.data(), result.ptr);
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

std::string isoTimestampWithMilliseconds(std::chrono::system_clock::time_point time) {
    const auto milliseconds =
        std::chrono::floor<std::chrono::milliseconds>(time) - std::chrono::floor<std::chrono::seconds>(time);
    auto text = isoTimestamp(time);
    std::array<char, 8> fraction{};
    std::snprintf(fraction.data(), fraction.size(), ".%03d", static_cast<int>(milliseconds.count()));
    return text.insert(text.size() - 1, fraction.data());
}

} // namespace tarsik
