#pragma once

#include "collector/sensors/registry_values.h"
#include "model/sensor_reading.h"
#include "platform/registry_source.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarsik {

// Key paths ("PerformanceStatistics.Core Clock(MHz)", "Sensors[2]") with the leaf values they
// lead to, pointing into the flattened value. Below four levels, and after 64 array elements,
// nothing more is unfolded.
using FlattenedProperties = std::vector<std::pair<std::string, const platform::PropertyValue*>>;
FlattenedProperties flattenRegistryProperties(const platform::PropertyValue& value, std::string_view prefix,
                                              int depth);

// A GPU driver's entry (by name and class) that publishes temperatures or performance statistics
// (by its top-level keys).
bool isGPURelevantRegistryEntry(std::string_view name, std::string_view className,
                                const platform::PropertyValue::Dictionary& properties);
bool isTrustedGPUProvider(std::string_view lowerCaseIdentity);
bool isTrustedGPUTemperaturePath(std::string_view entryName, std::string_view className,
                                 std::string_view key);
bool isTrustedGPUPerformancePath(std::string_view entryName, std::string_view className,
                                 std::string_view key);
std::optional<RegistryKind> registrySensorKind(std::string_view entryName, std::string_view className,
                                               std::string_view key);

// The readings of one registry entry, in flattened-key order; none for an irrelevant entry.
std::vector<SensorReading> registryEntryReadings(const platform::RegistryEntry& entry);

} // namespace tarsik
