#pragma once

#include "platform/gpu_device_list.h"

namespace tarsik::testing {

class FakeGPUDeviceList final : public platform::GPUDeviceList {
  public:
    explicit FakeGPUDeviceList(std::vector<platform::GPUDeviceInfo> devices) : devices_(std::move(devices)) {}
    std::vector<platform::GPUDeviceInfo> devices() const override { return devices_; }

  private:
    std::vector<platform::GPUDeviceInfo> devices_;
};

} // namespace tarsik::testing
