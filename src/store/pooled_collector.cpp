#include "store/pooled_collector.h"

#include <QtConcurrent/QtConcurrentRun>

namespace tarsik {

PooledCollector::PooledCollector(std::shared_ptr<const GPUInfoCollector> collector)
    : collector_(std::move(collector)), userInitiated_(new QThreadPool), utility_(new QThreadPool) {
    userInitiated_->setMaxThreadCount(1);
    utility_->setMaxThreadCount(1);
    utility_->setThreadPriority(QThread::LowPriority);
}

std::vector<GPUDevice> PooledCollector::collectFast() {
    return collector_->collectFast();
}

QFuture<std::vector<GPUDevice>> PooledCollector::collect() {
    return QtConcurrent::run(userInitiated_,
                             [collector = collector_] { return collector->collectSynchronously(); });
}

QFuture<std::vector<SensorReading>> PooledCollector::sensorsAsync(std::optional<GPUDevice> device) {
    return QtConcurrent::run(utility_, [collector = collector_, device = std::move(device)] {
        return collector->sensorsSynchronously(device ? &*device : nullptr);
    });
}

} // namespace tarsik
