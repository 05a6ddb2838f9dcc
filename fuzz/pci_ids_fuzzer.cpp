// Lookups in a pci.ids database of any content; the first eight bytes are the identifiers.
#include "platform/pci/pci_ids.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) {
        return 0;
    }
    const auto id = [data](std::size_t at) {
        return static_cast<std::uint16_t>(data[at] << 8 | data[at + 1]);
    };
    const tarsik::platform::PCIIDs ids(std::string(reinterpret_cast<const char*>(data) + 8, size - 8));
    ids.vendorName(id(0));
    ids.deviceName(id(0), id(2));
    ids.subsystemName(id(0), id(2), id(4), id(6));
    return 0;
}
