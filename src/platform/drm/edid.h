#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarsik::platform {

struct EDIDResolution {
    unsigned width = 0;
    unsigned height = 0;
};

// What an information tool shows from an EDID base block.
struct EDID {
    std::optional<std::string> manufacturerId; // PNP ID, "DEL"
    std::uint16_t productCode = 0;
    std::uint32_t serialNumber = 0;         // 0 when the display leaves it unused
    std::optional<std::string> serialText;  // the serial-number descriptor
    std::optional<std::string> monitorName; // the monitor-name descriptor
    std::optional<unsigned> year;
    bool isModelYear = false; // the year names the model, not the date of manufacture
    std::optional<EDIDResolution> imageSizeCm;
    std::optional<EDIDResolution> preferredTiming;
};

// Nothing for a blob that is shorter than a base block, has a wrong header or a wrong checksum.
// Extension blocks are not read.
std::optional<EDID> parseEDID(std::string_view blob);

} // namespace tarsik::platform
