#pragma once

#include "platform/gpu_device_list.h"
#include "platform/system_paths.h"

namespace tarsik::platform {

// Display-class PCI devices from sysfs, in list order (the boot GPU first, management and
// paravirtual adapters last), with the GPUs on other buses (SoCs) before the adapters. Reads files only: it
// never initialises NVML (which can block for seconds) and never wakes a runtime-suspended GPU.
class SysfsGpuDeviceList final : public GpuDeviceList {
  public:
    explicit SysfsGpuDeviceList(SystemPaths paths) : paths_(std::move(paths)) {}

    std::vector<GpuDeviceInfo> devices() const override;

  private:
    SystemPaths paths_;
};

} // namespace tarsik::platform
