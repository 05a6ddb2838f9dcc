#include "collector/sensors/sensor_naming.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <utility>

namespace tarsik {
namespace {

// The third character of a key as a decimal index ("A" and "a" give 10), else the character.
std::string indexText(char c) {
    if (c >= '0' && c <= '9') {
        return std::to_string(c - '0');
    }
    if (c >= 'A' && c <= 'F') {
        return std::to_string(c - 'A' + 10);
    }
    if (c >= 'a' && c <= 'f') {
        return std::to_string(c - 'a' + 10);
    }
    return std::string(1, c);
}

template <std::size_t N>
const char* lookup(const std::array<std::pair<std::string_view, const char*>, N>& table,
                   std::string_view key) {
    for (const auto& [tableKey, name] : table) {
        if (tableKey == key) {
            return name;
        }
    }
    return nullptr;
}

} // namespace

std::string temperatureSensorName(std::string_view key) {
    static constexpr std::array<std::pair<std::string_view, const char*>, 13> names{{
        {"TG0P", "GPU 0 Proximity"},
        {"TG0p", "GPU 0 Proximity Raw"},
        {"TG0D", "GPU 0 Die"},
        {"TG0d", "GPU 0 Die Raw"},
        {"TG0T", "GPU 0 Temp"},
        {"TG0M", "GPU 0 Memory Temp"},
        {"TGDD", "GPU 0 Die"},
        {"TCGC", "GPU Core"},
        {"TCGD", "GPU Diode"},
        {"TCGP", "GPU Proximity"},
        {"TCGS", "GPU Sensor"},
        {"TCGM", "GPU Memory Controller"},
        {"TMCD", "Memory Controller / iGPU"},
    }};
    if (const char* name = lookup(names, key)) {
        return name;
    }
    if (key.size() != 4 || !key.starts_with("TG")) {
        return "GPU Temperature";
    }
    const std::string prefix = "GPU " + indexText(key[2]);
    switch (key[3]) {
    case 'P':
        return prefix + " Proximity";
    case 'p':
        return prefix + " Proximity Raw";
    case 'D':
    case 'd':
        return prefix + " Die";
    case 'T':
    case 't':
        return prefix + " Temp";
    case 'M':
    case 'm':
        return prefix + " Memory Temp";
    case 'E':
    case 'e':
        return prefix + " Die Filtered";
    case 'F':
    case 'f':
        return prefix + " Fan/Power Temp";
    case 'H':
    case 'h':
        return prefix + " Heatsink";
    default:
        return "GPU " + std::string(key.substr(2, 2)) + " Die";
    }
}

std::string powerSensorName(std::string_view key) {
    static constexpr std::array<std::pair<std::string_view, const char*>, 7> names{{
        {"PCPG", "Package IGPU"},
        {"PGPR", "GPU Package"},
        {"PGTR", "GPU Total"},
        {"PG0R", "GPU 0 Total"},
        {"PG0C", "GPU 0 Core"},
        {"PG0F", "GPU 0 Framebuffer"},
        {"PG0V", "GPU 0 VRAM"},
    }};
    if (const char* name = lookup(names, key)) {
        return name;
    }
    if (key.size() == 4 && key.starts_with("PG")) {
        const std::string prefix = "GPU " + indexText(key[2]);
        switch (key[3]) {
        case 'R':
            return prefix + " Total";
        case 'C':
            return prefix + " Core";
        case 'F':
            return prefix + " Framebuffer";
        case 'V':
            return prefix + " VRAM";
        default:
            break;
        }
    }
    return "GPU Power " + std::string(key);
}

std::string formatSensorValue(double value) {
    // std::round rounds halves away from zero.
    const double rounded = std::round(value * 10.0) / 10.0;
    const char* format = std::fabs(std::round(rounded) - rounded) < 0.05 ? "%.0f" : "%.1f";
    // Fixed notation of a huge value runs to hundreds of digits.
    const int length = std::snprintf(nullptr, 0, format, rounded);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    std::snprintf(text.data(), text.size() + 1, format, rounded);
    return text;
}

} // namespace tarsik
