#pragma once

#include "platform/property_list.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarsik::platform {

// A reading beyond the six that the scan ranks, in base units, with the source that gave it.
struct MeasuredValue {
    std::string kind;   // "junctionTemperature", "memoryUsed", "voltage", ...
    std::string name;   // a voltage's rail; empty for the other kinds
    double value = 0;   // degrees Celsius, bytes, percent, watts or volts
    std::string origin; // a path below the device's sysfs folder, or the library call

    friend bool operator==(const MeasuredValue&, const MeasuredValue&) = default;
};

// One registry entry: who publishes the properties and the properties themselves. Properties
// that could not be copied stay Other.
struct RegistryEntry {
    std::string name;
    std::string className;
    PropertyValue properties;
    // Where each property came from, by its key path ("PerformanceStatistics.Temperature(C)").
    std::map<std::string, std::string> origins{};
    std::vector<MeasuredValue> moreReadings{};
    // Whether the GPU is runtime-suspended, where the platform can tell without waking it. A
    // suspended GPU's entry holds only what can be read without waking it.
    std::optional<bool> runtimeSuspended{};
};

// The entries of the platform's device registry, in its iteration order. Reading them may talk to
// drivers, so it belongs on a background thread.
class RegistrySource {
  public:
    virtual ~RegistrySource() = default;
    // Every entry, or only those of the given name, so that no other device's driver is asked.
    virtual std::vector<RegistryEntry> entries(std::optional<std::string_view> name) const = 0;
};

} // namespace tarsik::platform
