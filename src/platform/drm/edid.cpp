#include "platform/drm/edid.h"

#include <array>
#include <vector>

namespace tarsik::platform {
namespace {

constexpr std::size_t blockSize = 128;
constexpr std::array<unsigned char, 8> header{0x00, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x00};
constexpr std::size_t firstDescriptor = 54;
constexpr std::size_t descriptorSize = 18;

std::optional<std::string> pnpId(unsigned value) {
    if ((value & 0x8000) != 0) {
        return std::nullopt;
    }
    std::string id;
    for (const unsigned shift : {10u, 5u, 0u}) {
        const unsigned letter = (value >> shift) & 0x1f;
        if (letter < 1 || letter > 26) {
            return std::nullopt;
        }
        id += static_cast<char>('@' + letter);
    }
    return id;
}

// Descriptor text ends at a line feed and is padded with blanks; anything unprintable is dropped
// so that the text is safe to show and to put in JSON.
std::optional<std::string> descriptorText(const unsigned char* payload) {
    std::string text;
    for (std::size_t i = 0; i < 13 && payload[i] != 0x0a; ++i) {
        if (payload[i] >= 0x20 && payload[i] < 0x7f) {
            text += static_cast<char>(payload[i]);
        }
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    if (text.empty()) {
        return std::nullopt;
    }
    return text;
}

std::optional<EDIDResolution> detailedTiming(const unsigned char* d) {
    if ((d[0] | d[1]) == 0) {
        return std::nullopt; // a display descriptor, not a timing
    }
    EDIDResolution resolution{
        .width = d[2] | (static_cast<unsigned>(d[4] & 0xf0) << 4),
        .height = d[5] | (static_cast<unsigned>(d[7] & 0xf0) << 4),
    };
    if ((d[17] & 0x80) != 0) {
        resolution.height *= 2; // interlaced: the timing gives one field
    }
    if (resolution.width == 0 || resolution.height == 0) {
        return std::nullopt;
    }
    return resolution;
}

} // namespace

std::optional<EDID> parseEDID(std::string_view blob) {
    if (blob.size() < blockSize) {
        return std::nullopt;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(blob.data());
    unsigned sum = 0;
    for (std::size_t i = 0; i < blockSize; ++i) {
        sum += bytes[i];
    }
    if (!std::equal(header.begin(), header.end(), bytes) || sum % 256 != 0) {
        return std::nullopt;
    }

    EDID edid{
        .manufacturerId = pnpId(static_cast<unsigned>(bytes[8] << 8 | bytes[9])),
        .productCode = static_cast<std::uint16_t>(bytes[10] | bytes[11] << 8),
        .serialNumber = static_cast<std::uint32_t>(bytes[12]) | static_cast<std::uint32_t>(bytes[13]) << 8 |
                        static_cast<std::uint32_t>(bytes[14]) << 16 |
                        static_cast<std::uint32_t>(bytes[15]) << 24,
    };
    if (bytes[17] != 0) {
        edid.year = 1990u + bytes[17];
        edid.isModelYear = bytes[16] == 0xff;
    }
    if (bytes[21] != 0 && bytes[22] != 0) {
        edid.imageSizeCm = EDIDResolution{.width = bytes[21], .height = bytes[22]};
    }

    std::vector<EDIDResolution> timings;
    for (std::size_t offset = firstDescriptor; offset < firstDescriptor + 4 * descriptorSize;
         offset += descriptorSize) {
        const unsigned char* d = bytes + offset;
        if (auto timing = detailedTiming(d)) {
            timings.push_back(*timing);
        } else if ((d[0] | d[1] | d[2]) == 0 && d[3] == 0xfc && !edid.monitorName) {
            edid.monitorName = descriptorText(d + 5);
        } else if ((d[0] | d[1] | d[2]) == 0 && d[3] == 0xff && !edid.serialText) {
            edid.serialText = descriptorText(d + 5);
        }
    }
    if (!timings.empty()) {
        // Version 1.4 always puts the preferred timing first; 1.3 says so with a feature bit. A
        // display that marks none gets its largest timing, the mode the kernel then lists first.
        const bool firstIsPreferred = bytes[19] >= 4 || (bytes[24] & 0x02) != 0;
        edid.preferredTiming = timings.front();
        for (const auto& timing : timings) {
            if (!firstIsPreferred &&
                timing.width * timing.height > edid.preferredTiming->width * edid.preferredTiming->height) {
                edid.preferredTiming = timing;
            }
        }
    }
    return edid;
}

} // namespace tarsik::platform
