#include "platform/sysfs_gpu_device_list.h"

#include "platform/gpu_identity.h"
#include "platform/pci_device.h"
#include "platform/pci_ids.h"

namespace tarsik::platform {

std::vector<GpuDeviceInfo> SysfsGpuDeviceList::devices() const {
    const auto pciDevices = listDisplayDevices(paths_);
    if (pciDevices.empty()) {
        return {};
    }
    const PciIds pciIds(paths_);
    std::vector<GpuDeviceInfo> devices;
    devices.reserve(pciDevices.size());
    for (const auto& device : pciDevices) {
        const auto identity = identifyGpu(device, paths_, pciIds);
        devices.push_back(GpuDeviceInfo{
            .name = identity.name,
            .busAddress = device.slot,
            .vendorName = identity.vendor,
            .isLowPower = identity.integrated,
            .recommendedMaxWorkingSetSize = identity.vramBytes,
            .hasUnifiedMemory = identity.integrated,
            .isRemovable = identity.removable,
            .families = {}, // no Metal on Linux
        });
    }
    return devices;
}

} // namespace tarsik::platform
