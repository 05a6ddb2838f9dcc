#pragma once

#include "collector/gpu_info_collector.h"
#include "store/async_collector.h"

#include <QThreadPool>
#include <memory>

namespace tarsik {

// The real collector behind the store: the full inventory (which waits on the profiler child) on
// a pool of user-initiated priority, sensor discovery on a lower-priority utility pool.
class PooledCollector final : public AsyncCollector {
  public:
    explicit PooledCollector(std::shared_ptr<const GPUInfoCollector> collector);

    std::vector<GPUDevice> collectFast() override;
    QFuture<std::vector<GPUDevice>> collect() override;
    QFuture<std::vector<SensorReading>> sensorsAsync(std::optional<GPUDevice> device) override;

  private:
    std::shared_ptr<const GPUInfoCollector> collector_;
    // Never destroyed: a pool's destructor waits for its work, and quitting must not wait for a
    // profiler that hangs. The process ends with them.
    QThreadPool* userInitiated_;
    QThreadPool* utility_;
};

} // namespace tarsik
