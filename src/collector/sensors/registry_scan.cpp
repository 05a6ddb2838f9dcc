#include "collector/sensors/registry_scan.h"

#include "collector/sensors/sensor_naming.h"
#include "collector/text_case.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tarsik {
namespace {

constexpr int maximumDepth = 3;
constexpr std::size_t maximumArrayElements = 64;

template <std::size_t N>
bool containsAny(std::string_view text, const std::array<std::string_view, N>& fragments) {
    return std::any_of(fragments.begin(), fragments.end(),
                       [text](std::string_view fragment) { return contains(text, fragment); });
}

template <std::size_t N> bool isOneOf(std::string_view text, const std::array<std::string_view, N>& words) {
    return std::find(words.begin(), words.end(), text) != words.end();
}

std::string lowerIdentity(std::string_view entryName, std::string_view className) {
    std::string identity(entryName);
    identity += ' ';
    identity += className;
    return lowerCased(identity);
}

void flattenInto(const platform::PropertyValue& value, const std::string& prefix, int depth,
                 FlattenedProperties& flattened) {
    if (depth <= maximumDepth) {
        if (const auto* dictionary = value.dictionary()) {
            for (const auto& [key, child] : *dictionary) {
                flattenInto(child, prefix.empty() ? key : (prefix + '.').append(key), depth + 1, flattened);
            }
            return;
        }
        if (const auto* array = value.array()) {
            const auto count = std::min(array->size(), maximumArrayElements);
            for (std::size_t i = 0; i < count; ++i) {
                flattenInto((*array)[i], (prefix + '[').append(std::to_string(i)).append("]"), depth + 1,
                            flattened);
            }
            return;
        }
    }
    flattened.emplace_back(prefix, &value);
}

} // namespace

FlattenedProperties flattenRegistryProperties(const platform::PropertyValue& value, std::string_view prefix,
                                              int depth) {
    FlattenedProperties flattened;
    flattenInto(value, std::string(prefix), depth, flattened);
    return flattened;
}

bool isTrustedGPUProvider(std::string_view lowerCaseIdentity) {
    static constexpr std::array<std::string_view, 26> patterns{
        // AMD
        "amdradeon", "radeon", "x4000", "x5000", "x6000", "polaris", "vega", "navi", "graphicsaccelerator",
        // Intel
        "appleintel", "intelaccelerator", "intelgraphics", "intelgpu", "igpu", "iris", "uhdgraphics",
        "hdgraphics",
        // Apple
        "agx", "applegpu", "apple graphics", "applegraphics", "iographicsaccelerator",
        // NVIDIA
        "nvdagpu", "nvidia", "geforce", "quadro"};
    return containsAny(lowerCaseIdentity, patterns);
}

bool isGPURelevantRegistryEntry(std::string_view name, std::string_view className,
                                const platform::PropertyValue::Dictionary& properties) {
    if (!isTrustedGPUProvider(lowerIdentity(name, className))) {
        return false;
    }
    std::string keyText;
    for (const auto& [key, value] : properties) {
        if (!keyText.empty()) {
            keyText += ' ';
        }
        keyText += key;
    }
    static constexpr std::array<std::string_view, 7> statistics{
        "temperature",   "thermal", "die temp", "gpu temp", "performancestatistics", "performance statistics",
        "gpu statistics"};
    return containsAny(lowerCased(keyText), statistics);
}

bool isTrustedGPUTemperaturePath(std::string_view entryName, std::string_view className,
                                 std::string_view key) {
    static constexpr std::array<std::string_view, 4> words{"temperature", "temp", "thermal", "die"};
    return isTrustedGPUProvider(lowerIdentity(entryName, className)) && containsAny(lowerCased(key), words);
}

bool isTrustedGPUPerformancePath(std::string_view entryName, std::string_view className,
                                 std::string_view key) {
    static constexpr std::array<std::string_view, 3> words{"performancestatistics", "performance statistics",
                                                           "gpu statistics"};
    return isTrustedGPUProvider(lowerIdentity(entryName, className)) && containsAny(lowerCased(key), words);
}

std::optional<RegistryKind> registrySensorKind(std::string_view entryName, std::string_view className,
                                               std::string_view key) {
    const auto leaf = registryKeyLeaf(key);
    if (leaf.size() == 4) {
        static constexpr std::array<std::string_view, 6> temperatureKeys{"TCGC", "TCGD", "TCGP",
                                                                         "TCGS", "TCGM", "TMCD"};
        if (leaf.starts_with("TG") || isOneOf(leaf, temperatureKeys)) {
            return RegistryKind::temperature;
        }
        if (leaf == "PCPG" || leaf.starts_with("PG")) {
            return RegistryKind::power;
        }
    }
    const auto normalised = normalizedRegistryLeaf(leaf);
    static constexpr std::array<std::string_view, 10> temperatureWords{
        "temperature(c)", "temperature", "gputemperature", "dietemperature", "die",
        "gputemp",        "temp",        "thermal",        "thermallevel",   "thermalstate"};
    if (isOneOf(normalised, temperatureWords)) {
        if (isTrustedGPUTemperaturePath(entryName, className, key)) {
            return RegistryKind::temperature;
        }
        return std::nullopt;
    }
    if (!isTrustedGPUPerformancePath(entryName, className, key)) {
        return std::nullopt;
    }
    static constexpr std::array<std::string_view, 5> powerWords{"totalpower(w)", "totalpower", "power(w)",
                                                                "gpupower", "packagepower(w)"};
    static constexpr std::array<std::string_view, 3> fanWords{"fanspeed(rpm)", "fanspeedrpm", "fanrpm"};
    static constexpr std::array<std::string_view, 8> clockWords{
        "coreclock(mhz)",   "coreclock",   "gpuclock(mhz)", "gpuclock",
        "memoryclock(mhz)", "memoryclock", "memclock(mhz)", "memclock"};
    static constexpr std::array<std::string_view, 6> loadWords{"deviceutilization%", "deviceutilization",
                                                               "gpuutilization%",    "gpuutilization",
                                                               "activity%",          "activity"};
    if (isOneOf(normalised, powerWords)) {
        return RegistryKind::power;
    }
    if (isOneOf(normalised, fanWords)) {
        return RegistryKind::fan;
    }
    if (isOneOf(normalised, clockWords)) {
        return RegistryKind::clock;
    }
    if (isOneOf(normalised, loadWords)) {
        return RegistryKind::load;
    }
    return std::nullopt;
}

std::vector<SensorReading> registryEntryReadings(const platform::RegistryEntry& entry) {
    const auto* properties = entry.properties.dictionary();
    if (properties == nullptr || !isGPURelevantRegistryEntry(entry.name, entry.className, *properties)) {
        return {};
    }
    std::vector<SensorReading> readings;
    for (const auto& [key, value] : flattenRegistryProperties(entry.properties, "", 0)) {
        const auto kind = registrySensorKind(entry.name, entry.className, key);
        if (!kind) {
            continue;
        }
        const auto number = registryNumericValue(*value, *kind);
        if (!number || !isPlausibleRegistryNumber(*number, *kind)) {
            continue;
        }
        const auto origin = entry.origins.find(key);
        readings.push_back(SensorReading{
            .name = registrySensorName(entry.name, entry.className, key, *kind),
            .value = formatSensorValue(*number),
            .unit = registrySensorUnit(*kind),
            .note = "IORegistry: " + entry.className + "." + key,
            // Its kind is known once the pipeline has ranked it.
            .measurement = Measurement{.value = *number,
                                       .origin = origin != entry.origins.end() ? origin->second : ""},
        });
    }
    return readings;
}

} // namespace tarsik
