#pragma once

#include "platform/nvml/nvml_session.h"
#include "platform/registry/gpu_statistics.h"

namespace tarsik::platform {

// NVML's answers for one GPU as its registry entry carries them, each with the call that gave it.
GPUStatistics nvmlGPUStatistics(const NVMLGPUReadings& readings);

} // namespace tarsik::platform
