#include "collector/sensors/more_readings.h"

#include "collector/sensors/sensor_naming.h"
#include "model/sensor_kind.h"
#include "platform/byte_count.h"

#include <algorithm>
#include <cmath>

namespace tarsik {
namespace {

std::size_t kindOrder(const std::string& kind) {
    const auto found = std::find_if(moreReadingForms.begin(), moreReadingForms.end(),
                                    [&kind](const auto& form) { return form.kind == kind; });
    return static_cast<std::size_t>(found - moreReadingForms.begin());
}

// The value and unit a row shows: bytes in 1024-based units, volts as millivolts (one decimal
// of a volt would hide every change), the rest as the source gave them.
std::pair<std::string, std::string> shown(const MoreReadingForm& form, double value) {
    if (form.baseUnit == "B") {
        const auto text = platform::formatByteCount(static_cast<std::uint64_t>(std::llround(value)));
        const auto space = text.find(' ');
        return {text.substr(0, space), text.substr(space + 1)};
    }
    if (form.baseUnit == "V") {
        return {formatSensorValue(value * 1000), "mV"};
    }
    return {formatSensorValue(value), std::string(form.baseUnit)};
}

SensorReading sleepState(bool suspended) {
    const Measurement measurement{.kind = "runtimeSuspended", .value = suspended ? 1.0 : 0.0,
                                  .origin = "power/runtime_status"};
    if (suspended) {
        return SensorReading{.name = "Sleep State",
                             .value = "Asleep",
                             .note = "The GPU is runtime-suspended. Its sensors were not read, so that it "
                                     "stays asleep; reading them would wake it.",
                             .measurement = measurement};
    }
    return SensorReading{.name = "Sleep State",
                         .value = "Awake",
                         .note = "power/runtime_status: the GPU is active.",
                         .measurement = measurement};
}

} // namespace

std::vector<SensorReading> moreGPUReadings(const platform::RegistryEntry& entry) {
    std::vector<const platform::MeasuredValue*> measured;
    for (const auto& value : entry.moreReadings) {
        if (kindOrder(value.kind) < moreReadingForms.size() && std::isfinite(value.value)) {
            measured.push_back(&value);
        }
    }
    std::stable_sort(measured.begin(), measured.end(),
                     [](const auto* a, const auto* b) { return kindOrder(a->kind) < kindOrder(b->kind); });
    std::vector<SensorReading> readings;
    for (const auto* value : measured) {
        const auto& form = moreReadingForms[kindOrder(value->kind)];
        auto [text, unit] = shown(form, value->value);
        readings.push_back(SensorReading{
            .name = value->name.empty() ? std::string(form.name) : value->name,
            .value = std::move(text),
            .unit = std::move(unit),
            .note = value->origin,
            .measurement = Measurement{.kind = value->kind, .value = value->value, .origin = value->origin},
        });
    }
    if (entry.runtimeSuspended) {
        readings.push_back(sleepState(*entry.runtimeSuspended));
    }
    return readings;
}

} // namespace tarsik
