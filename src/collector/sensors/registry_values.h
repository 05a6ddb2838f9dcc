#pragma once

#include "platform/property_list.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tarsik {

// What a registry key measures. Coarser than the sensor kinds of the pipeline: one clock kind
// serves core and memory clocks, which the reading's name tells apart.
enum class RegistryKind { temperature, power, fan, clock, load };

// Inclusive plausible range of a kind: finite and within it.
bool isPlausibleRegistryNumber(double value, RegistryKind kind);

// One plausible number for the kind out of a number, a text or a data block: the first of a short
// list of unit and byte-order interpretations that is plausible. Nothing for other values.
std::optional<double> registryNumericValue(const platform::PropertyValue& value, RegistryKind kind);
std::optional<double> normalizedRegistryNumber(double value, RegistryKind kind);
// The first run of "-0123456789.," in the text, commas read as points ("Temp: 61,5" -> 61.5).
std::optional<double> numericFromString(std::string_view text);
// Only the first four bytes are used: byte, 16-bit and 32-bit readings in both byte orders.
std::optional<double> numericFromData(std::span<const std::uint8_t> bytes, RegistryKind kind);

// The part of a key path after its last "." (array positions stay part of it).
std::string_view registryKeyLeaf(std::string_view key);
// The leaf without " ", "_" and "-", lower-cased: "Total_Power(W)" -> "totalpower(w)".
std::string normalizedRegistryLeaf(std::string_view leaf);

std::string registrySensorName(std::string_view entryName, std::string_view className, std::string_view key,
                               RegistryKind kind);
// "fan_speed-level" -> "Fan Speed Level"; the fallback when nothing is left.
std::string prettyRegistryName(std::string_view raw, std::string_view fallback);
std::string registrySensorUnit(RegistryKind kind);

} // namespace tarsik
