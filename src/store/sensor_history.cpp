#include "store/sensor_history.h"

namespace tarsik {
namespace {

bool hasHistory(const SensorReading& reading) {
    return reading.measurement && reading.measurement->kind != "runtimeSuspended";
}

// Voltages share a kind and differ by rail name; a name alone could match a reading of another kind.
std::string seriesKey(const SensorReading& reading) {
    return reading.measurement->kind + "|" + reading.name;
}

} // namespace

void SensorHistory::record(const std::string& gpu, const std::vector<SensorReading>& readings,
                           std::chrono::steady_clock::time_point at) {
    auto& series = series_[gpu];
    for (const auto& reading : readings) {
        if (hasHistory(reading)) {
            auto shown = reading.unit.empty() ? reading.value : reading.value + " " + reading.unit;
            series[seriesKey(reading)].push_back({at, reading.measurement->value, std::move(shown)});
        }
    }
    for (auto it = series.begin(); it != series.end();) {
        auto& points = it->second;
        while (!points.empty() && at - points.front().at > span) {
            points.pop_front();
        }
        it = points.empty() ? series.erase(it) : std::next(it);
    }
    if (series.empty()) {
        series_.erase(gpu);
    }
}

const std::deque<HistoryPoint>* SensorHistory::of(const std::string& gpu,
                                                  const SensorReading& reading) const {
    const auto device = series_.find(gpu);
    if (device == series_.end() || !hasHistory(reading)) {
        return nullptr;
    }
    const auto found = device->second.find(seriesKey(reading));
    return found == device->second.end() ? nullptr : &found->second;
}

} // namespace tarsik
