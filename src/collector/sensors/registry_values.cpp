#include "collector/sensors/registry_values.h"

#include "collector/sensors/sensor_naming.h"
#include "collector/text_case.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace tarsik {
namespace {

std::optional<double> firstPlausible(std::initializer_list<double> candidates, RegistryKind kind) {
    for (const double candidate : candidates) {
        if (isPlausibleRegistryNumber(candidate, kind)) {
            return candidate;
        }
    }
    return std::nullopt;
}

// An optional leading minus, digits with at most one point, at least one digit.
bool isPlainDecimal(std::string_view text) {
    if (text.starts_with('-')) {
        text.remove_prefix(1);
    }
    bool digit = false;
    bool point = false;
    for (const char c : text) {
        if (c == '.') {
            if (point) {
                return false;
            }
            point = true;
        } else if (c >= '0' && c <= '9') {
            digit = true;
        } else {
            return false;
        }
    }
    return digit;
}

} // namespace

bool isPlausibleRegistryNumber(double value, RegistryKind kind) {
    static constexpr std::array<std::pair<double, double>, 5> ranges{{
        {-20, 130}, // temperature
        {0, 1000},  // power
        {0, 20000}, // fan
        {0, 20000}, // clock: GDDR6X/GDDR7 memory clocks pass 10000 MHz
        {0, 100},   // load
    }};
    const auto [lowest, highest] = ranges[static_cast<std::size_t>(kind)];
    return std::isfinite(value) && value >= lowest && value <= highest;
}

std::optional<double> registryNumericValue(const platform::PropertyValue& value, RegistryKind kind) {
    if (const double* number = value.number()) {
        return normalizedRegistryNumber(*number, kind);
    }
    if (const std::string* text = value.string()) {
        const auto number = numericFromString(*text);
        return number ? normalizedRegistryNumber(*number, kind) : std::nullopt;
    }
    if (const auto* bytes = value.data()) {
        return numericFromData(*bytes, kind);
    }
    return std::nullopt;
}

std::optional<double> normalizedRegistryNumber(double v, RegistryKind kind) {
    switch (kind) {
    case RegistryKind::temperature:
        return firstPlausible({v, v / 100, v * 0.00390625, v / 1000}, kind);
    case RegistryKind::power:
        return firstPlausible({v, v / 100, v / 1000, v / 256}, kind);
    case RegistryKind::fan:
        return firstPlausible({v, v / 100}, kind);
    case RegistryKind::clock:
        return firstPlausible({v, v / 1000, v / 1000000}, kind);
    case RegistryKind::load:
        return firstPlausible({v, v / 100, v / 255 * 100}, kind);
    }
    return std::nullopt;
}

std::optional<double> numericFromString(std::string_view text) {
    constexpr std::string_view allowed = "-0123456789.,";
    std::string buffer;
    for (const char c : text) {
        if (allowed.find(c) == std::string_view::npos) {
            if (!buffer.empty()) {
                break;
            }
            continue;
        }
        buffer += c == ',' ? '.' : c;
    }
    if (!isPlainDecimal(buffer)) {
        return std::nullopt;
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(buffer.data(), buffer.data() + buffer.size(), value);
    if (ec != std::errc{} || ptr != buffer.data() + buffer.size()) {
        return std::nullopt; // out of range: thousands of digits
    }
    return value;
}

std::optional<double> numericFromData(std::span<const std::uint8_t> bytes, RegistryKind kind) {
    if (bytes.empty()) {
        return std::nullopt;
    }
    const auto b = [&bytes](std::size_t i) { return static_cast<std::uint32_t>(bytes[i]); };
    if (const auto byte = firstPlausible({static_cast<double>(b(0))}, kind)) {
        return byte;
    }
    if (bytes.size() >= 2) {
        const auto be = static_cast<std::uint16_t>(b(0) << 8 | b(1));
        const auto le = static_cast<std::uint16_t>(b(1) << 8 | b(0));
        const double sbe = static_cast<std::int16_t>(be);
        const double sle = static_cast<std::int16_t>(le);
        const double ube = be;
        const double ule = le;
        if (const auto value = firstPlausible({ube, ule, sbe / 256, sle / 256, ube / 4, ule / 4, ube / 100,
                                               ule / 100, ube / 1000, ule / 1000},
                                              kind)) {
            return value;
        }
    }
    if (bytes.size() >= 4) {
        const std::uint32_t be = b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
        const std::uint32_t le = b(3) << 24 | b(2) << 16 | b(1) << 8 | b(0);
        const double ube = be;
        const double ule = le;
        return firstPlausible({ube, ule, ube / 100, ule / 100, ube / 1000, ule / 1000, ube / 1000000,
                               ule / 1000000, static_cast<double>(std::bit_cast<float>(be)),
                               static_cast<double>(std::bit_cast<float>(le))},
                              kind);
    }
    return std::nullopt;
}

std::string_view registryKeyLeaf(std::string_view key) {
    const auto dot = key.rfind('.');
    return dot == std::string_view::npos ? key : key.substr(dot + 1);
}

std::string normalizedRegistryLeaf(std::string_view leaf) {
    std::string normalised;
    normalised.reserve(leaf.size());
    for (const char c : leaf) {
        if (c != ' ' && c != '_' && c != '-') {
            normalised += c;
        }
    }
    return lowerCased(normalised);
}

std::string registrySensorName(std::string_view /*entryName*/, std::string_view /*className*/,
                               std::string_view key, RegistryKind kind) {
    static constexpr std::array<std::pair<std::string_view, const char*>, 32> names{{
        {"temperature(c)", "GPU Temperature"},
        {"temperature", "GPU Temperature"},
        {"gputemperature", "GPU Temperature"},
        {"dietemperature", "GPU Temperature"},
        {"die", "GPU Temperature"},
        {"gputemp", "GPU Temperature"},
        {"temp", "GPU Temperature"},
        {"thermal", "GPU Temperature"},
        {"thermallevel", "GPU Temperature"},
        {"thermalstate", "GPU Temperature"},
        {"totalpower(w)", "GPU Power"},
        {"totalpower", "GPU Power"},
        {"power(w)", "GPU Power"},
        {"gpupower", "GPU Power"},
        {"packagepower(w)", "GPU Power"},
        {"fanspeed(rpm)", "Fan Speed"},
        {"fanspeedrpm", "Fan Speed"},
        {"fanrpm", "Fan Speed"},
        {"coreclock(mhz)", "Core Clock"},
        {"coreclock", "Core Clock"},
        {"gpuclock(mhz)", "Core Clock"},
        {"gpuclock", "Core Clock"},
        {"memoryclock(mhz)", "Memory Clock"},
        {"memoryclock", "Memory Clock"},
        {"memclock(mhz)", "Memory Clock"},
        {"memclock", "Memory Clock"},
        {"deviceutilization%", "GPU Load"},
        {"deviceutilization", "GPU Load"},
        {"gpuutilization%", "GPU Load"},
        {"gpuutilization", "GPU Load"},
        {"activity%", "GPU Load"},
        {"activity", "GPU Load"},
    }};
    const auto leaf = registryKeyLeaf(key);
    const auto normalised = normalizedRegistryLeaf(leaf);
    for (const auto& [word, name] : names) {
        if (word == normalised) {
            return name;
        }
    }
    switch (kind) {
    case RegistryKind::temperature:
        return leaf.size() == 4 ? temperatureSensorName(leaf) : prettyRegistryName(leaf, "GPU Temperature");
    case RegistryKind::power:
        return leaf.size() == 4 ? powerSensorName(leaf) : prettyRegistryName(leaf, "GPU Power");
    case RegistryKind::fan:
        return prettyRegistryName(leaf, "Fan Speed");
    case RegistryKind::clock:
        return prettyRegistryName(leaf, "GPU Clock");
    case RegistryKind::load:
        return prettyRegistryName(leaf, "GPU Load");
    }
    return std::string(leaf);
}

std::string prettyRegistryName(std::string_view raw, std::string_view fallback) {
    std::string spaced(raw);
    std::replace(spaced.begin(), spaced.end(), '_', ' ');
    std::replace(spaced.begin(), spaced.end(), '-', ' ');
    constexpr std::string_view blank = " \t\n\r\v\f";
    const auto first = spaced.find_first_not_of(blank);
    if (first == std::string::npos) {
        return std::string(fallback);
    }
    const auto trimmed = std::string_view(spaced).substr(first, spaced.find_last_not_of(blank) - first + 1);
    static constexpr std::array<std::string_view, 6> acronyms{"gpu", "amd", "smc", "igpu", "rpm", "vram"};
    std::string name;
    std::size_t start = 0;
    while (start < trimmed.size()) {
        auto end = trimmed.find(' ', start);
        if (end == std::string_view::npos) {
            end = trimmed.size();
        }
        if (end > start) {
            auto word = lowerCased(trimmed.substr(start, end - start));
            if (std::find(acronyms.begin(), acronyms.end(), word) != acronyms.end()) {
                word = upperCased(word);
            } else {
                word[0] = upperCased(word.substr(0, 1))[0];
            }
            if (!name.empty()) {
                name += ' ';
            }
            name += word;
        }
        start = end + 1;
    }
    return name;
}

std::string registrySensorUnit(RegistryKind kind) {
    switch (kind) {
    case RegistryKind::temperature:
        return "\u00B0C";
    case RegistryKind::power:
        return "W";
    case RegistryKind::fan:
        return "RPM";
    case RegistryKind::clock:
        return "MHz";
    case RegistryKind::load:
        return "%";
    }
    return {};
}

} // namespace tarsik
