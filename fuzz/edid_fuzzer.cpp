// The EDID parser over any blob a display or a driver hands over. The first byte chooses whether
// the checksum is made right, so that the fuzzer reaches the descriptors as well as the checks.
#include "platform/drm/edid.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    std::string blob(reinterpret_cast<const char*>(data) + 1, size - 1);
    if ((data[0] & 1) != 0 && blob.size() >= 128) {
        unsigned sum = 0;
        for (std::size_t i = 0; i < 127; ++i) {
            sum += static_cast<unsigned char>(blob[i]);
        }
        blob[127] = static_cast<char>((256 - sum % 256) % 256);
    }
    const auto edid = tarsik::platform::parseEDID(blob);
    if (edid && edid->monitorName && edid->monitorName->size() > 13) {
        __builtin_trap(); // a descriptor holds 13 characters
    }
    return 0;
}
