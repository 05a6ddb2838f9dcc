#include "platform/sysfs_registry_source.h"

#include "platform/diagnostics.h"
#include "platform/drm_platform_gpus.h"
#include "platform/gpu_identity.h"
#include "platform/gpu_statistics.h"
#include "platform/nvml_session.h"
#include "platform/pci_device.h"
#include "platform/platform_gpu_names.h"
#include "platform/soc_gpu_statistics.h"

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
    for (const auto& device : listDisplayDevices(paths_)) {
        const char* const deviceClass = className(device.vendorId);
        if ((name && device.slot != *name) || deviceClass == nullptr) {
            continue;
        }
        // Reading a sleeping GPU's sensors wakes it on older kernels and fails on newer ones.
        if (device.isRuntimeSuspended()) {
            diagnose("GPU " + device.slot + " sleeps (runtime-suspended); its sensors are not read");
            continue;
        }
        PropertyValue::Dictionary statistics;
        if (device.driver == "nvidia") {
            if (!nvmlTried) {
                nvml = NVMLSession::open(nvmlLibrary_, nvmlInitDeadline_);
                nvmlTried = true;
            }
            const auto readings = nvml ? nvml->readings(device.slot) : std::nullopt;
            if (readings) {
                statistics = nvmlGpuStatistics(*readings);
            }
        } else {
            statistics = sysfsGPUStatistics(device);
        }
        if (statistics.empty()) {
            continue;
        }
        PropertyValue::Dictionary properties;
        properties.emplace_back("PerformanceStatistics", PropertyValue{std::move(statistics)});
        entries.push_back(RegistryEntry{
            .name = device.slot,
            .className = deviceClass,
            .properties = PropertyValue{std::move(properties)},
        });
    }
    for (const auto& gpu : listPlatformGPUs(paths_)) {
        if (name && gpu.busAddress != *name) {
            continue;
        }
        auto statistics = socGPUStatistics(gpu, paths_, socLoadWindow_);
        if (statistics.empty()) {
            continue;
        }
        PropertyValue::Dictionary properties;
        properties.emplace_back("PerformanceStatistics", PropertyValue{std::move(statistics)});
        entries.push_back(RegistryEntry{
            .name = gpu.busAddress,
            .className = platformGPURegistryClass(gpu),
            .properties = PropertyValue{std::move(properties)},
        });
    }
    return entries;
}

} // namespace tarsik::platform
