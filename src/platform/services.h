#pragma once

#include "platform/gpu_device_list.h"
#include "platform/registry_source.h"
#include "platform/smc_service.h"

#include <memory>

namespace tarsik::platform {

// Every platform service the collector uses, handed to it at construction.
struct Services {
    std::shared_ptr<const GpuDeviceList> gpuDevices;
    std::shared_ptr<const RegistrySource> registry;
    // Null where the machine has no SMC at all.
    std::shared_ptr<const SMCService> smc;
};

// The Linux implementations over the real system.
Services linuxServices();

} // namespace tarsik::platform
