#pragma once

#include "platform/gpu_device_list.h"

namespace tarsik::testing {

class FakeGpuDeviceList final : public platform::GpuDeviceList {
  public:
    explicit FakeGpuDeviceList(std::vector<platform::GpuDeviceInfo> devices) : devices_(std::move(devices)) {}
    std::vector<platform::GpuDeviceInfo> devices() const override { return devices_; }

  private:
    std::vector<platform::GpuDeviceInfo> devices_;
};

} // namespace tarsik::testing
