#include "platform/registry/sysfs_registry_source.h"

#include "platform/diagnostics.h"
#include "platform/hwmon/hwmon_statistics.h"
#include "platform/nvml/nvml_session.h"
#include "platform/nvml/nvml_statistics.h"
#include "platform/pci/gpu_identity.h"
#include "platform/pci/pci_device.h"
#include "platform/soc/drm_platform_gpus.h"
#include "platform/soc/platform_gpu_names.h"
#include "platform/soc/soc_gpu_statistics.h"

namespace tarsik::platform {
namespace {

const char* className(std::uint16_t vendorId) {
    switch (vendorId) {
    case vendor_ids::amd:
    case vendor_ids::amdAlternative:
        return "AMDRadeonGPU";
    case vendor_ids::intel:
        return "IntelGPU";
    case vendor_ids::nvidia:
        return "NVIDIAGPU";
    case vendor_ids::apple:
        return "AppleGPU";
    default:
        return nullptr;
    }
}

} // namespace

std::vector<RegistryEntry> SysfsRegistrySource::entries(std::optional<std::string_view> name) const {
    std::vector<RegistryEntry> entries;
    std::unique_ptr<NVMLSession> nvml;
    bool nvmlTried = false;
    std::vector<PCIDevice> devices;
    if (!name) {
        devices = listDisplayDevices(paths_);
    } else if (auto device = displayDeviceAt(paths_, *name)) {
        devices.push_back(std::move(*device));
    }
    for (const auto& device : devices) {
        const char* const deviceClass = className(device.vendorId);
        RegistryEntry entry{.name = device.slot, .className = deviceClass ? deviceClass : ""};
        // Reading a sleeping GPU's sensors wakes it on older kernels and fails on newer ones; its
        // sleep state is all there is to say.
        entry.runtimeSuspended = device.isRuntimeSuspended();
        if (*entry.runtimeSuspended) {
            diagnose("GPU " + device.slot + " sleeps (runtime-suspended); its sensors are not read");
        } else if (device.driver == "nvidia") {
            if (!nvmlTried) {
                nvml = NVMLSession::open(nvmlLibrary_, nvmlInitDeadline_);
                nvmlTried = true;
            }
            if (const auto readings = nvml ? nvml->readings(device.slot) : std::nullopt) {
                nvmlGPUStatistics(*readings).moveInto(entry);
            }
        } else if (deviceClass != nullptr) {
            sysfsGPUStatistics(device).moveInto(entry);
        }
        entries.push_back(std::move(entry));
    }
    for (const auto& gpu : listPlatformGPUs(paths_)) {
        if (name && gpu.busAddress != *name) {
            continue;
        }
        RegistryEntry entry{.name = gpu.busAddress, .className = platformGPURegistryClass(gpu)};
        entry.runtimeSuspended = isRuntimeSuspended(gpu.directory);
        socGPUStatistics(gpu, paths_, socLoadWindow_).moveInto(entry);
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace tarsik::platform
