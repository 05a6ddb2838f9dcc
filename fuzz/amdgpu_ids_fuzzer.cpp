// The amdgpu.ids reader over any text; the first three bytes are the device and revision looked up.
#include "platform/pci/amdgpu_ids.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const auto device = static_cast<std::uint16_t>(data[0] << 8 | data[1]);
    const std::string_view text(reinterpret_cast<const char*>(data) + 3, size - 3);
    const auto name = tarsik::platform::amdgpuMarketingName(text, device, data[2]);
    if (name && (name->empty() || name->find('\n') != std::string::npos)) {
        __builtin_trap(); // one whole, non-empty line at most
    }
    return 0;
}
