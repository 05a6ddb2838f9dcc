#pragma once

#include "store/async_collector.h"

namespace tarsik::screenshots {

// A desktop with a Radeon RX 6800 XT driving two displays and an idle Intel iGPU, with the
// readings full discovery finds there. Every answer is ready at once.
class FixtureMachine final : public AsyncCollector {
  public:
    std::vector<GPUDevice> collectFast() override;
    QFuture<std::vector<GPUDevice>> collect() override;
    QFuture<std::vector<SensorReading>> sensorsAsync(std::optional<GPUDevice> device) override;
};

} // namespace tarsik::screenshots
