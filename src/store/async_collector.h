#pragma once

#include "model/gpu_device.h"
#include "model/sensor_reading.h"

#include <QFuture>
#include <optional>
#include <vector>

namespace tarsik {

// The collector as the store uses it: the fast inventory on the calling thread, the full
// inventory and sensor discovery in the background. The futures finish with exactly one result;
// a future that is cancelled or finishes without one counts as cancelled work.
class AsyncCollector {
  public:
    virtual ~AsyncCollector() = default;

    virtual std::vector<GPUDevice> collectFast() = 0;
    virtual QFuture<std::vector<GPUDevice>> collect() = 0;
    virtual QFuture<std::vector<SensorReading>> sensorsAsync(std::optional<GPUDevice> device) = 0;
};

} // namespace tarsik
