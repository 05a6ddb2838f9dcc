#include "platform/registry/gpu_statistics.h"

namespace tarsik::platform {
namespace {

bool within(const std::optional<Sample>& sample, Range range) {
    return sample && sample->value >= range.lowest && sample->value <= range.highest;
}

} // namespace

void GPUStatistics::add(const char* key, const std::optional<Sample>& sample, Range range) {
    if (within(sample, range)) {
        performance_.emplace_back(key, PropertyValue{sample->value});
        origins_.emplace(std::string("PerformanceStatistics.") + key, sample->origin);
    }
}

void GPUStatistics::addMore(const char* kind, std::string name, const std::optional<Sample>& sample,
                            Range range) {
    if (within(sample, range)) {
        more_.push_back(
            MeasuredValue{.kind = kind, .name = std::move(name), .value = sample->value, .origin = sample->origin});
    }
}

void GPUStatistics::moveInto(RegistryEntry& entry) && {
    if (!performance_.empty()) {
        PropertyValue::Dictionary properties;
        properties.emplace_back("PerformanceStatistics", PropertyValue{std::move(performance_)});
        entry.properties = PropertyValue{std::move(properties)};
    }
    entry.origins = std::move(origins_);
    entry.moreReadings = std::move(more_);
}

} // namespace tarsik::platform
