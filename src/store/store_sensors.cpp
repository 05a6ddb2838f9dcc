#include "collector/gpu_info_collector.h"
#include "store/future_result.h"
#include "store/gpu_store.h"

#include <QPointer>
#include <algorithm>

namespace tarsik {
namespace {

// Identical cards share name and identifiers; their bus addresses keep them apart.
std::string deviceKey(const GPUDevice& device) {
    auto key = device.name + "|" + device.pciDeviceID + "|" + device.pciRevisionID;
    if (const auto* slot = pciSlotOf(device)) {
        key += "|" + *slot;
    }
    return key;
}

// History survives a refresh, which gives every device a new id and may rename it: it follows
// the bus address.
std::string historyKey(const GPUDevice& device) {
    const auto* slot = pciSlotOf(device);
    return slot ? *slot : deviceKey(device);
}

} // namespace

// Publishes only if not cancelled and the selection is still the one it was started for.
QCoro::Task<> GPUStore::runSensorTask(QPointer<GPUStore> store, std::shared_ptr<AsyncCollector> collector,
                                      std::optional<GPUDevice> device, std::optional<UUID> requestedSelection,
                                      CancellableTask task) {
    const auto readings = co_await awaitResult(collector->sensorsAsync(device));
    if (!store || task.isCancelled() || !readings) {
        co_return;
    }
    if (store->selectedID_ != requestedSelection) {
        co_return;
    }
    store->publishFreshSensors(*readings, device ? &*device : nullptr);
}

void GPUStore::publishFreshSensors(std::vector<SensorReading> readings, const GPUDevice* device) {
    if (device != nullptr) {
        history_.record(historyKey(*device), readings, std::chrono::steady_clock::now());
    }
    cacheSensors(readings, device);
    setSensors(std::move(readings));
}

const std::deque<HistoryPoint>* GPUStore::historyOf(const SensorReading& reading) const {
    const auto* device = selectedGPU();
    return device ? history_.of(historyKey(*device), reading) : nullptr;
}

void GPUStore::setLiveSensors(const QObject* viewer, bool wanted) {
    const auto found = liveViewers_.find(viewer);
    if (wanted && found == liveViewers_.end()) {
        // A viewer that goes wants nothing more; a window may go before or after the store.
        liveViewers_[viewer] =
            connect(viewer, &QObject::destroyed, this, [this, viewer] { setLiveSensors(viewer, false); });
    } else if (!wanted && found != liveViewers_.end()) {
        disconnect(found->second);
        liveViewers_.erase(found);
    }
    if (liveViewers_.empty()) {
        liveTimer_.stop();
    } else if (!liveReadRunning_ && !liveTimer_.isActive()) {
        scheduleLiveRead(std::chrono::milliseconds::zero());
    }
}

// The next read is due a period after the last began; a tab shown again within the period waits
// for the rest of it. `gap` keeps a GPU whose reads outlast the period from being read back to back.
void GPUStore::scheduleLiveRead(std::chrono::milliseconds gap) {
    const auto now = std::chrono::steady_clock::now();
    const auto due = liveReadStarted_ ? *liveReadStarted_ + livePeriod : now;
    const auto wait = std::max(std::chrono::duration_cast<std::chrono::milliseconds>(due - now), gap);
    if (wait > std::chrono::milliseconds::zero()) {
        liveTimer_.start(wait);
    } else {
        readLiveSample();
    }
}

// With nothing to read the timer is not started again: the tab that turns Live on has asked for
// full discovery already, and a GPU that comes later is read when Live is next turned on.
void GPUStore::readLiveSample() {
    const auto* device = selectedGPU();
    if (device == nullptr || !dynamicSensorsRequested_) {
        return;
    }
    liveReadRunning_ = true;
    liveReadStarted_ = std::chrono::steady_clock::now();
    runLiveTask(QPointer<GPUStore>(this), collector_, *device);
}

QCoro::Task<> GPUStore::runLiveTask(QPointer<GPUStore> store, std::shared_ptr<AsyncCollector> collector,
                                    GPUDevice device) {
    auto readings = co_await awaitResult(collector->sensorsAsync(device));
    if (!store) {
        co_return;
    }
    store->liveReadRunning_ = false;
    const auto* selected = store->selectedGPU();
    if (readings && selected != nullptr && deviceKey(*selected) == deviceKey(device)) {
        store->publishFreshSensors(std::move(*readings), selected);
    }
    if (!store->liveViewers_.empty()) {
        store->scheduleLiveRead(livePeriod / 4);
    }
}

void GPUStore::updateSensors(const GPUDevice* device, bool preferCache) {
    if (!dynamicSensorsRequested_) {
        setSensors(GPUInfoCollector::basicSensorsSynchronously(device));
        return;
    }
    const auto requestedSelection = selectedID_;
    if (preferCache) {
        if (auto cached = cachedSensors(device)) {
            setSensors(std::move(*cached));
            return;
        }
    }
    if (sensorTask_) {
        sensorTask_->cancel();
    }
    sensorTask_ = CancellableTask{};
    std::optional<GPUDevice> copy;
    if (device != nullptr) {
        copy = *device;
    }
    runSensorTask(QPointer<GPUStore>(this), collector_, std::move(copy), requestedSelection, *sensorTask_);
}

void GPUStore::cacheSensors(const std::vector<SensorReading>& readings, const GPUDevice* device) {
    if (device == nullptr) {
        return;
    }
    const auto key = deviceKey(*device);
    sensorCache_[key] = readings;
    std::erase(sensorCacheOrder_, key);
    sensorCacheOrder_.push_back(key);
    while (sensorCacheOrder_.size() > sensorCacheLimit) {
        sensorCache_.erase(sensorCacheOrder_.front());
        sensorCacheOrder_.erase(sensorCacheOrder_.begin());
    }
}

std::optional<std::vector<SensorReading>> GPUStore::cachedSensors(const GPUDevice* device) const {
    if (device == nullptr) {
        return std::nullopt;
    }
    const auto found = sensorCache_.find(deviceKey(*device));
    if (found == sensorCache_.end()) {
        return std::nullopt;
    }
    return found->second;
}

} // namespace tarsik
