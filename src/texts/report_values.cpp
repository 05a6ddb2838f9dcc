#include "texts/report_values.h"

#include <charconv>
#include <cmath>
#include <ctime>

namespace tarsik {
namespace {

std::optional<double> number(const std::string& text) {
    double value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::vector<DynamicReading> dynamicReadings(const std::vector<SensorReading>& readings) {
    std::vector<DynamicReading> dynamic;
    for (const auto& reading : readings) {
        const auto kind = canonicalFormKind(reading);
        const auto value = number(reading.value);
        if (kind && value) {
            dynamic.push_back(DynamicReading{.kind = *kind, .value = *value, .reading = &reading});
        }
    }
    return dynamic;
}

std::string isoTimestamp(std::chrono::system_clock::time_point time) {
    const std::time_t seconds =
        std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(time));
    std::tm utc{};
    char text[32] = "1970-01-01T00:00:00Z";
    if (::gmtime_r(&seconds, &utc) != nullptr) {
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    }
    return text;
}

} // namespace tarsik
