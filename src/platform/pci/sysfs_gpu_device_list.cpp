#include "platform/pci/sysfs_gpu_device_list.h"

#include "platform/pci/gpu_identity.h"
#include "platform/pci/pci_device.h"
#include "platform/pci/pci_ids.h"
#include "platform/soc/drm_platform_gpus.h"
#include "platform/soc/platform_gpu_names.h"

#include <algorithm>

namespace tarsik::platform {

std::vector<GPUDeviceInfo> SysfsGPUDeviceList::devices() const {
    const auto pciDevices = listDisplayDevices(paths_);
    const PCIIDs pciIds(paths_);
    std::vector<GPUDeviceInfo> devices;
    for (const auto& device : pciDevices) {
        const auto identity = identifyGPU(device, paths_, pciIds);
        devices.push_back(GPUDeviceInfo{
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
    // Platform GPUs come after the PCI ones, but before management and paravirtual adapters.
    const auto adapters = std::find_if(pciDevices.begin(), pciDevices.end(), [](const PCIDevice& device) {
        return device.isManagementOrVirtualAdapter();
    });
    const auto platformGPUs = listPlatformGPUs(paths_);
    const auto memory = platformGPUs.empty() ? 0 : systemMemoryBytes(paths_);
    auto position = devices.begin() + (adapters - pciDevices.begin());
    for (const auto& gpu : platformGPUs) {
        position = devices.insert(position,
                                  GPUDeviceInfo{
                                      .name = platformGPUName(gpu),
                                      .busAddress = gpu.busAddress,
                                      .vendorName = platformGPUVendor(gpu),
                                      .isLowPower = true,
                                      .recommendedMaxWorkingSetSize = memory,
                                      .hasUnifiedMemory = true,
                                      .isRemovable = false,
                                      .families = {},
                                  }) +
                   1;
    }
    return devices;
}

} // namespace tarsik::platform
