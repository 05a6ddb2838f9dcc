#pragma once

#include "platform/pci/pci_device.h"
#include "platform/registry/gpu_statistics.h"

namespace tarsik::platform {

// A GPU's live values as its driver publishes them in hwmon and its own sysfs files (amdgpu,
// radeon, nouveau, i915, xe), each with its path below the device's folder as its origin: the
// six the scan ranks, then junction and memory temperature, memory and GTT use, fan duty, power
// limit, an APU's package power and every labelled voltage. The caller checks that the GPU is
// awake first: on older kernels these reads wake it.
GPUStatistics sysfsGPUStatistics(const PCIDevice& device);

} // namespace tarsik::platform
