#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarsik::platform {

// Which graphics API feature families a device supports. The list sets a family only where the
// system can be asked about it.
struct GPUFamilySupport {
    bool metal3 = false;
    bool mac2 = false;
    bool mac1 = false;
};

// One GPU as the fast device list knows it: six properties, no child process, no registry.
struct GPUDeviceInfo {
    std::string name;
    // The GPU's identity on the machine: its PCI slot ("0000:03:00.0"), or the platform device's
    // name ("fde60000.gpu") for a GPU on another bus; empty when unknown.
    std::string busAddress;
    // The maker as the bus names it ("AMD", "ASPEED"); empty when unknown.
    std::string vendorName;
    bool isLowPower = false;
    std::uint64_t recommendedMaxWorkingSetSize = 0; // bytes; 0 when unknown
    bool hasUnifiedMemory = false;
    bool isRemovable = false;
    GPUFamilySupport families;
};

// The machine's GPUs in the platform's order. Cheap enough for the UI thread.
class GPUDeviceList {
  public:
    virtual ~GPUDeviceList() = default;
    virtual std::vector<GPUDeviceInfo> devices() const = 0;
};

} // namespace tarsik::platform
