#pragma once

#include "platform/registry_source.h"

#include <optional>
#include <string>

namespace tarsik::platform {

// One value as a source gave it, in natural units, and where it came from.
struct Sample {
    double value = 0;
    std::string origin;
};

// The values a source can report, both bounds included. A value beyond them is a faulty sensor
// (or a unit the source does not use), never a reading.
struct Range {
    double lowest;
    double highest;
};

// A GPU's live values as its registry entry carries them: the six the scan ranks under their
// "PerformanceStatistics" keys, in the order they are added, and the readings beyond them, each
// with its origin.
class GPUStatistics {
  public:
    // "Temperature(C)", "Total Power(W)", "Fan Speed(RPM)", "Core Clock(MHz)", "Memory Clock(MHz)"
    // or "Device Utilization %".
    void add(const char* key, const std::optional<Sample>& sample, Range range);
    void addMore(const char* kind, std::string name, const std::optional<Sample>& sample, Range range);

    bool hasPerformance() const { return !performance_.empty(); }
    const PropertyValue::Dictionary& performance() const { return performance_; }
    const std::vector<MeasuredValue>& more() const { return more_; }

    // Fills the entry's properties, origins and further readings.
    void moveInto(RegistryEntry& entry) &&;

  private:
    PropertyValue::Dictionary performance_;
    std::map<std::string, std::string> origins_;
    std::vector<MeasuredValue> more_;
};

namespace ranges {
inline constexpr Range temperature{-20, 130};
// Hotspot and memory sensors run hotter than the edge: a junction throttles near 110 °C.
inline constexpr Range hotspotTemperature{-20, 150};
inline constexpr Range power{0, 1000};
inline constexpr Range fanRpm{0, 20000};
// GDDR6X and GDDR7 memory clocks pass 10000 MHz as the drivers count them.
inline constexpr Range clockMHz{0, 20000};
inline constexpr Range percent{0, 100};
// A limit of 0 W means "no limit set" (i915's power1_max), not a limit.
inline constexpr Range powerLimit{1, 2000};
inline constexpr Range bytes{0, 1ULL << 50};
inline constexpr Range volts{0, 20};
} // namespace ranges

} // namespace tarsik::platform
