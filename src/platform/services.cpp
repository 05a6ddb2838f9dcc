#include "platform/services.h"

#include "platform/applesmc/applesmc_service.h"
#include "platform/pci/sysfs_gpu_device_list.h"
#include "platform/registry/sysfs_registry_source.h"

namespace tarsik::platform {

Services linuxServices(std::filesystem::path profiler) {
    const SystemPaths paths;
    return Services{
        .gpuDevices = std::make_shared<SysfsGPUDeviceList>(paths),
        .processRunner = std::make_shared<PosixProcessRunner>(),
        .profiler = std::move(profiler),
        .registry = std::make_shared<SysfsRegistrySource>(paths),
        .smc = std::make_shared<AppleSMCService>(paths),
    };
}

} // namespace tarsik::platform
