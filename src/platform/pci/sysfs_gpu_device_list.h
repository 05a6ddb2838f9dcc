#pragma once

#include "platform/gpu_device_list.h"
#include "platform/system_paths.h"

namespace tarsik::platform {

// Display-class PCI devices from sysfs, in list order (the boot GPU first, management and
// paravirtual adapters last), with the GPUs on other buses (SoCs) before the adapters. Reads files only: it
// never initialises NVML (which can block for seconds) and never wakes a runtime-suspended GPU.
class SysfsGPUDeviceList final : public GPUDeviceList {
  public:
    explicit SysfsGPUDeviceList(SystemPaths paths) : paths_(std::move(paths)) {}

    std::vector<GPUDeviceInfo> devices() const override;

  private:
    SystemPaths paths_;
};

} // namespace tarsik::platform
