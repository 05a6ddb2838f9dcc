#pragma once

#include "platform/nvml_session.h"
#include "platform/pci_device.h"
#include "platform/property_list.h"

namespace tarsik::platform {

// A GPU's live values as its driver publishes them in sysfs (amdgpu, radeon, nouveau, i915, xe),
// in natural units under the keys the registry scan knows: "Temperature(C)", "Total Power(W)",
// "Fan Speed(RPM)", "Core Clock(MHz)", "Memory Clock(MHz)", "Device Utilization %"; further
// values (junction and memory temperature, voltages, VRAM used) under keys of their own. A value
// that cannot be read is left out. The caller checks that the GPU is awake first.
PropertyValue::Dictionary sysfsGPUStatistics(const PCIDevice& device);

// The same keys from NVML's answers.
PropertyValue::Dictionary nvmlGpuStatistics(const NVMLGPUReadings& readings);

} // namespace tarsik::platform
