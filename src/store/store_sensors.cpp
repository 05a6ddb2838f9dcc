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
    store->cacheSensors(*readings, device ? &*device : nullptr);
    store->setSensors(*readings);
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
