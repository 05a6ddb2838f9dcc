#pragma once

#include "platform/gpu_device_list.h"
#include "platform/registry_source.h"

#include <memory>

namespace tarsik::platform {

// Every platform service the collector uses, handed to it at construction.
struct Services {
    std::shared_ptr<const GpuDeviceList> gpuDevices;
    std::shared_ptr<const RegistrySource> registry;
};

// The Linux implementations over the real system.
Services linuxServices();

} // namespace tarsik::platform
