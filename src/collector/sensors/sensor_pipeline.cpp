#include "collector/sensors/sensor_pipeline.h"

#include "collector/text_case.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <unordered_set>

namespace tarsik {
namespace {

constexpr std::size_t kindCount = canonicalSensorForms.size();

} // namespace

int sensorPreferenceScore(const SensorReading& reading) {
    const auto name = lowerCased(reading.name);
    const auto note = lowerCased(reading.note);
    if (contains(note, "performancestatistics.") && contains(name, "load")) {
        return 0;
    }
    if (contains(note, "performancestatisticsaccum")) {
        return 1;
    }
    if (contains(note, "performancestatistics")) {
        return 2;
    }
    if (contains(note, "smc key")) {
        return 10;
    }
    return 100;
}

std::string dynamicSensorSortKey(const SensorReading& reading) {
    const auto n = lowerCased(reading.name);
    const auto& unit = reading.unit;
    const char* prefix = "100_";
    if (contains(n, "proximity")) {
        prefix = "001_";
    } else if (contains(n, "die")) {
        prefix = "002_";
    } else if (contains(n, "temp") || unit == "\u00B0C") {
        prefix = "003_";
    } else if (contains(n, "power") || unit == "W") {
        prefix = "010_";
    } else if (contains(n, "fan") || unit == "RPM") {
        prefix = "020_";
    } else if (contains(n, "clock") || unit == "MHz") {
        prefix = "030_";
    } else if (contains(n, "load") || unit == "%") {
        prefix = "040_";
    }
    return prefix + n;
}

std::vector<SensorReading> deduplicateSensorReadings(const std::vector<SensorReading>& readings) {
    std::vector<SensorReading> unique;
    std::unordered_set<std::string> seen;
    for (const auto& reading : readings) {
        if (seen.insert(lowerCased(reading.name) + "|" + reading.unit).second) {
            unique.push_back(reading);
        }
    }
    return unique;
}

std::optional<SensorKind> canonicalKind(const SensorReading& reading) {
    const auto name = lowerCased(reading.name);
    const auto note = lowerCased(reading.note);
    const auto unit = lowerCased(reading.unit);
    if (unit == "\u00B0c" || contains(name, "temperature") || contains(name, "temp") ||
        contains(name, "die") || contains(name, "proximity")) {
        return SensorKind::temperature;
    }
    if (unit == "w" || contains(name, "power")) {
        return SensorKind::power;
    }
    if (unit == "rpm" || contains(name, "fan")) {
        return SensorKind::fan;
    }
    if (unit == "mhz" || contains(name, "clock")) {
        const bool memory =
            contains(name, "memory") || contains(note, "memory clock") || contains(note, "memoryclock");
        return memory ? SensorKind::memoryClock : SensorKind::coreClock;
    }
    if (unit == "%" || contains(name, "load") || contains(name, "utilization")) {
        return SensorKind::load;
    }
    return std::nullopt;
}

SensorReading canonicalizedReading(const SensorReading& reading, SensorKind kind) {
    const auto& form = canonicalSensorForms[static_cast<std::size_t>(kind)];
    auto measurement = reading.measurement;
    if (measurement) {
        measurement->kind = form.key;
    }
    return SensorReading{.name = std::string(form.name),
                         .value = reading.value,
                         .unit = std::string(form.unit),
                         .note = reading.note,
                         .measurement = std::move(measurement)};
}

std::vector<SensorReading> canonicalGPUReadings(const std::vector<SensorReading>& readings) {
    std::array<std::optional<SensorReading>, kindCount> best;
    std::array<int, kindCount> bestScore{};
    for (const auto& reading : readings) {
        const auto kind = canonicalKind(reading);
        if (!kind) {
            continue;
        }
        const auto slot = static_cast<std::size_t>(*kind);
        const int score = sensorPreferenceScore(reading);
        if (best[slot] && score >= bestScore[slot]) {
            continue;
        }
        best[slot] = canonicalizedReading(reading, *kind);
        // Scored as stored: a canonical name such as "GPU Load" may score better than its source's.
        bestScore[slot] = sensorPreferenceScore(*best[slot]);
    }
    std::vector<SensorReading> canonical;
    for (auto& reading : best) {
        if (reading) {
            canonical.push_back(std::move(*reading));
        }
    }
    return canonical;
}

std::vector<SensorReading> rankedGPUReadings(const std::vector<SensorReading>& readings) {
    struct Rank {
        int score;
        std::string sortKey;
    };
    std::vector<Rank> ranks;
    ranks.reserve(readings.size());
    for (const auto& reading : readings) {
        ranks.push_back(Rank{sensorPreferenceScore(reading), dynamicSensorSortKey(reading)});
    }
    std::vector<std::size_t> order(readings.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&ranks](std::size_t a, std::size_t b) {
        if (ranks[a].score != ranks[b].score) {
            return ranks[a].score < ranks[b].score;
        }
        return ranks[a].sortKey < ranks[b].sortKey;
    });
    std::vector<SensorReading> sorted;
    sorted.reserve(readings.size());
    for (const auto index : order) {
        sorted.push_back(readings[index]);
    }
    return canonicalGPUReadings(deduplicateSensorReadings(sorted));
}

SensorReading noGPUSensorsPlaceholder() {
    return SensorReading{
        .name = "No exposed GPU sensors found",
        .value = "N/A",
        .unit = "",
        .note =
            "No readable GPU sensor was found through SMC or IORegistry. The GPU can still be detected by "
            "Metal/system_profiler.",
    };
}

} // namespace tarsik
