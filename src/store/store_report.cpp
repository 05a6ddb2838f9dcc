#include "collector/gpu_info_collector.h"
#include "store/gpu_store.h"

#include <QCoro/QCoroSignal>
#include <QFutureWatcher>
#include <QPointer>

namespace tarsik {
namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds remainingUntil(Clock::time_point deadline) {
    return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()),
                    std::chrono::milliseconds::zero());
}

// Whether `action` published readings before it returned: a cache hit does, discovery does later.
template <typename Action> bool publishesAtOnce(GPUStore& store, Action action) {
    bool published = false;
    const auto connection =
        QObject::connect(&store, &GPUStore::sensorsChanged, [&published] { published = true; });
    action();
    QObject::disconnect(connection);
    return published;
}

} // namespace

QCoro::Task<std::vector<GPUReport>> GPUStore::reportEveryGPU(std::chrono::milliseconds deadline) {
    const auto deadlineAt = Clock::now() + deadline;
    const QPointer<GPUStore> self(this);
    // Runs on by itself; the report waits for it only until the deadline.
    startupRefresh();
    while (self && isRefreshing_ && remainingUntil(deadlineAt) > std::chrono::milliseconds::zero()) {
        co_await qCoro(this, &GPUStore::isRefreshingChanged, remainingUntil(deadlineAt));
    }
    std::vector<GPUReport> reports;
    if (!self) {
        co_return reports;
    }
    std::vector<UUID> ids;
    for (const auto& device : devices_) {
        ids.push_back(device.id);
    }
    for (std::size_t i = 0; i < ids.size(); ++i) {
        bool published = false;
        if (i == 0 && !dynamicSensorsRequested_) {
            selectGPU(ids[i]);
            published = publishesAtOnce(*this, [this] { requestDynamicSensors(); });
        } else {
            published = publishesAtOnce(*this, [this, &ids, i] { selectGPU(ids[i]); });
        }
        while (!published && self && remainingUntil(deadlineAt) > std::chrono::milliseconds::zero()) {
            published =
                (co_await qCoro(this, &GPUStore::sensorsChanged, remainingUntil(deadlineAt))).has_value();
        }
        if (!self) {
            co_return reports;
        }
        const GPUDevice& device = *selectedGPU();
        reports.push_back(GPUReport{
            .device = device,
            .readings = published ? sensors_ : GPUInfoCollector::basicSensorsSynchronously(&device),
            .readingsLate = !published,
        });
    }
    co_return reports;
}

QCoro::Task<std::vector<GPUReport>> GPUStore::readSensorsAgain(std::vector<GPUReport> reports,
                                                               std::chrono::milliseconds deadline) {
    const auto deadlineAt = Clock::now() + deadline;
    // Held by the task, so a store that goes meanwhile leaves it whole.
    const auto collector = collector_;
    for (auto& report : reports) {
        QFutureWatcher<std::vector<SensorReading>> watcher;
        watcher.setFuture(collector->sensorsAsync(report.device));
        if (!watcher.isFinished()) {
            co_await qCoro(&watcher, &QFutureWatcherBase::finished, remainingUntil(deadlineAt));
        }
        const auto future = watcher.future();
        const bool came = future.isFinished() && !future.isCanceled() && future.resultCount() > 0;
        report.readings =
            came ? future.result() : GPUInfoCollector::basicSensorsSynchronously(&report.device);
        report.readingsLate = !came;
    }
    co_return reports;
}

} // namespace tarsik
