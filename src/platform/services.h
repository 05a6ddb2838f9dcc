#pragma once

#include "platform/gpu_device_list.h"
#include "platform/process_runner.h"
#include "platform/registry_source.h"
#include "platform/smc_service.h"

#include <filesystem>
#include <memory>

namespace tarsik::platform {

// Every platform service the collector uses, handed to it at construction.
struct Services {
    std::shared_ptr<const GPUDeviceList> gpuDevices;
    std::shared_ptr<const ProcessRunner> processRunner;
    // The display profiler; a path where nothing runs gives an empty profiler list.
    std::filesystem::path profiler;
    std::shared_ptr<const RegistrySource> registry;
    // Null where the machine has no SMC at all.
    std::shared_ptr<const SMCService> smc;
};

// The Linux implementations over the real system; `profiler` as found by profilerFor().
Services linuxServices(std::filesystem::path profiler);

} // namespace tarsik::platform
