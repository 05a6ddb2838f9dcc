// v3d's job counters of any content: the input is cut at its first 0x1e byte into two samples of
// gpu_stats, and the load between them is always a share.
#include "platform/soc/soc_gpu_statistics.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto cut = input.find('\x1e');
    const auto first = tarsik::platform::parseV3dGPUStats(input.substr(0, cut));
    const auto second =
        tarsik::platform::parseV3dGPUStats(cut == std::string_view::npos ? "" : input.substr(cut + 1));
    if (first && second) {
        const auto load = tarsik::platform::busyPercent(*first, *second);
        if (load && !(*load >= 0 && *load <= 100)) {
            __builtin_trap();
        }
    }
    return 0;
}
