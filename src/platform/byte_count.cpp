#include "platform/byte_count.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace tarsik::platform {

std::string formatByteCount(std::uint64_t bytes) {
    if (bytes == 1) {
        return "1 byte";
    }
    if (bytes < 1024) {
        return std::to_string(bytes) + " bytes";
    }
    struct Unit {
        const char* name;
        int decimals;
    };
    static constexpr std::array<Unit, 5> units{{{"KB", 0}, {"MB", 1}, {"GB", 2}, {"TB", 2}, {"PB", 2}}};
    double value = static_cast<double>(bytes) / 1024.0;
    std::size_t unit = 0;
    while (true) {
        const double scale = std::pow(10.0, units[unit].decimals);
        const double rounded = std::round(value * scale) / scale;
        if (rounded >= 1024.0 && unit + 1 < units.size()) {
            value /= 1024.0;
            ++unit;
            continue;
        }
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", units[unit].decimals, rounded);
        std::string number = text;
        if (number.find('.') != std::string::npos) {
            while (number.back() == '0') {
                number.pop_back();
            }
            if (number.back() == '.') {
                number.pop_back();
            }
        }
        return number + " " + units[unit].name;
    }
}

} // namespace tarsik::platform
