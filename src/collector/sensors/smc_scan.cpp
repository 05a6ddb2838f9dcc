#include "collector/gpu_info_collector.h"
#include "collector/sensors/sensor_naming.h"
#include "collector/sensors/smc_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace tarsik {
namespace {

bool isTemperatureKey(std::string_view key) {
    static constexpr std::array<std::string_view, 6> otherGPUKeys{"TCGC", "TCGD", "TCGP",
                                                                  "TCGS", "TCGM", "TMCD"};
    return key.size() == 4 &&
           (key.starts_with("TG") || std::ranges::find(otherGPUKeys, key) != otherGPUKeys.end());
}

bool isPowerKey(std::string_view key) {
    return key.size() == 4 && (key == "PCPG" || key.starts_with("PG"));
}

bool isPlausibleTemperature(double celsius) {
    return std::isfinite(celsius) && celsius > -20.0 && celsius < 130.0;
}

bool isPlausiblePower(double watts) {
    return std::isfinite(watts) && watts >= 0.0 && watts < 1000.0;
}

// The GPU index a key's third character names; 99 puts keys without one last.
int gpuIndex(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return 99;
}

std::string twoDigits(int value) {
    return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

// Sorted by sensor order; a key listed twice keeps one place.
void sortBySensorOrder(std::vector<std::string>& keys) {
    std::vector<std::pair<std::string, std::string>> ordered;
    ordered.reserve(keys.size());
    for (auto& key : keys) {
        ordered.emplace_back(GPUInfoCollector::sensorSortKey(key), std::move(key));
    }
    std::sort(ordered.begin(), ordered.end());
    // Distinct keys never share a sort key, so equal keys end up side by side.
    ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());
    keys.clear();
    for (auto& entry : ordered) {
        keys.push_back(std::move(entry.second));
    }
}

struct SensorClass {
    bool (*isPlausible)(double);
    std::string (*name)(std::string_view);
    const char* unit;
};

void appendReadings(AppleSMCReader& reader, const std::vector<std::string>& keys,
                    const SensorClass& sensorClass, std::vector<SensorReading>& readings) {
    for (const auto& key : keys) {
        const auto data = reader.readKey(key);
        if (!data) {
            continue;
        }
        const auto value = AppleSMCReader::decode(data->bytes, data->type);
        if (!value || !sensorClass.isPlausible(*value)) {
            continue;
        }
        readings.push_back(SensorReading{
            .name = sensorClass.name(key),
            .value = formatSensorValue(*value),
            .unit = sensorClass.unit,
            .note = "SMC key " + key + ".",
            .measurement = Measurement{.value = *value, .origin = "applesmc key " + key},
        });
    }
}

} // namespace

std::vector<SensorReading> GPUInfoCollector::readSMCGPUSensors() const {
    if (!services_.smc) {
        return {};
    }
    auto reader = AppleSMCReader::open(*services_.smc);
    if (!reader) {
        return {};
    }
    // Every candidate is classified and de-duplicated before the first read: most of them are
    // keys this SMC lacks, and each read costs calls into the SMC.
    std::vector<std::string> temperatureKeys;
    std::vector<std::string> powerKeys;
    const auto classify = [&](std::string&& key) {
        if (isTemperatureKey(key)) {
            temperatureKeys.push_back(std::move(key));
        } else if (isPowerKey(key)) {
            powerKeys.push_back(std::move(key));
        }
    };
    for (auto& key : reader->allKeys()) {
        classify(std::move(key));
    }
    for (auto& key : fallbackSMCGPUKeys()) {
        classify(std::move(key));
    }
    sortBySensorOrder(temperatureKeys);
    sortBySensorOrder(powerKeys);

    std::vector<SensorReading> readings;
    appendReadings(*reader, temperatureKeys, {isPlausibleTemperature, temperatureSensorName, "\u00B0C"},
                   readings);
    appendReadings(*reader, powerKeys, {isPlausiblePower, powerSensorName, "W"}, readings);
    return readings;
}

std::vector<std::string> GPUInfoCollector::fallbackSMCGPUKeys() {
    std::vector<std::string> keys;
    for (const char gpu : std::string_view("0123456789ABCDEF")) {
        for (const char* pattern : {"TG?D", "TG?P", "TG?d", "TG?p", "PG?R", "PG?C"}) {
            std::string key(pattern);
            key[2] = gpu;
            keys.push_back(std::move(key));
        }
    }
    for (const char gpu : std::string_view("0123456789")) {
        for (const char* pattern : {"TG?T", "TG?E", "TG?F", "TG?M", "TG?H", "TG?t", "TG?e", "TG?f", "TG?m",
                                    "TG?h", "PG?F", "PG?V"}) {
            std::string key(pattern);
            key[2] = gpu;
            keys.push_back(std::move(key));
        }
    }
    // Plain decimal also gives TG0 to TG9; with three characters they never pass the key tests.
    for (int i = 0; i < 100; ++i) {
        keys.push_back("TG" + twoDigits(i));
        keys.push_back("TG" + std::to_string(i));
    }
    for (const char* key : {"TGDD", "TCGC", "TCGD", "TCGP", "TCGS", "TCGM", "TMCD", "PCPG", "PGPR", "PGTR"}) {
        keys.emplace_back(key);
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

std::string GPUInfoCollector::sensorSortKey(std::string_view key) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 10> knownKeys{{
        {"TG0P", "000"},
        {"TG0p", "001"},
        {"TG0D", "002"},
        {"TG0d", "003"},
        {"TGDD", "004"},
        {"PCPG", "020"},
        {"PGPR", "021"},
        {"PGTR", "022"},
        {"PG0R", "023"},
        {"PG0C", "024"},
    }};
    for (const auto& [known, sortKey] : knownKeys) {
        if (known == key) {
            return std::string(sortKey);
        }
    }
    if (key.size() == 4 && key.starts_with("TG")) {
        static constexpr std::string_view ranks = "PpDdT";
        const auto rank = ranks.find(key[3]);
        return "0" + twoDigits(gpuIndex(key[2])) + "_" +
               twoDigits(rank == std::string_view::npos ? 9 : static_cast<int>(rank)) + "_" +
               std::string(key);
    }
    if (key.size() == 4 && key.starts_with("PG")) {
        return "1" + twoDigits(gpuIndex(key[2])) + "_" + std::string(key);
    }
    return "200_" + std::string(key);
}

} // namespace tarsik
