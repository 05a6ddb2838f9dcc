#include "platform/sysfs_gpu_device_list.h"

#include "platform/drm_platform_gpus.h"
#include "platform/gpu_identity.h"
#include "platform/pci_device.h"
#include "platform/pci_ids.h"
#include "platform/platform_gpu_names.h"

#include <algorithm>

namespace tarsik::platform {

std::vector<GpuDeviceInfo> SysfsGpuDeviceList::devices() const {
    const auto pciDevices = listDisplayDevices(paths_);
    const PciIds pciIds(paths_);
    std::vector<GpuDeviceInfo> devices;
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
    // Platform GPUs come after the PCI ones, but before management and paravirtual adapters.
    const auto adapters = std::find_if(pciDevices.begin(), pciDevices.end(), [](const PciDevice& device) {
        return device.isManagementOrVirtualAdapter();
    });
    const auto platformGpus = listPlatformGpus(paths_);
    const auto memory = platformGpus.empty() ? 0 : systemMemoryBytes(paths_);
    auto position = devices.begin() + (adapters - pciDevices.begin());
    for (const auto& gpu : platformGpus) {
        position = devices.insert(position,
                                  GpuDeviceInfo{
                                      .name = platformGpuName(gpu),
                                      .busAddress = gpu.busAddress,
                                      .vendorName = platformGpuVendor(gpu),
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
