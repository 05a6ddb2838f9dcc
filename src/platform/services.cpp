#include "platform/services.h"

#include "platform/sysfs_gpu_device_list.h"

namespace tarsik::platform {

Services linuxServices(std::filesystem::path profiler) {
    const SystemPaths paths;
    return Services{
        .gpuDevices = std::make_shared<SysfsGpuDeviceList>(paths),
        .processRunner = std::make_shared<PosixProcessRunner>(),
        .profiler = std::move(profiler),
    };
}

} // namespace tarsik::platform
