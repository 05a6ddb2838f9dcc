#include "store/gpu_store.h"

#include "collector/gpu_info_collector.h"
#include "store/advanced_rows.h"

#include <algorithm>

namespace tarsik {

GPUStore::GPUStore(std::shared_ptr<AsyncCollector> collector, QObject* parent)
    : QObject(parent), collector_(std::move(collector)) {
    liveTimer_.setSingleShot(true);
    connect(&liveTimer_, &QTimer::timeout, this, &GPUStore::readLiveSample);
}

GPUStore::~GPUStore() {
    if (sensorTask_) {
        sensorTask_->cancel();
    }
    if (refreshTask_) {
        refreshTask_->cancel();
    }
}

const GPUDevice* GPUStore::selectedGPU() const {
    if (devices_.empty()) {
        return nullptr;
    }
    if (selectedID_) {
        const auto found = std::find_if(devices_.begin(), devices_.end(), [this](const GPUDevice& device) {
            return device.id == *selectedID_;
        });
        if (found != devices_.end()) {
            return &*found;
        }
    }
    return &devices_.front();
}

void GPUStore::applyFastInventory() {
    auto fast = collector_->collectFast();
    std::optional<UUID> first;
    if (!fast.empty()) {
        first = fast.front().id;
    }
    setDevices(std::move(fast));
    setSelectedID(first);
    updateAdvancedRows(selectedGPU());
    setSensors(GPUInfoCollector::basicSensorsSynchronously(selectedGPU()));
    setLastRefresh(QDateTime::currentDateTime());
    setRefreshCount(refreshCount_ + 1);
}

void GPUStore::updateAdvancedRows(const GPUDevice* device) {
    setAdvancedRows(advancedRowsFor(device));
}

void GPUStore::setDevices(std::vector<GPUDevice> devices) {
    devices_ = std::move(devices);
    emit devicesChanged();
}

void GPUStore::setSelectedID(std::optional<UUID> id) {
    selectedID_ = id;
    emit selectedIDChanged();
}

void GPUStore::setSensors(std::vector<SensorReading> sensors) {
    sensors_ = std::move(sensors);
    emit sensorsChanged();
}

void GPUStore::setIsRefreshing(bool refreshing) {
    isRefreshing_ = refreshing;
    emit isRefreshingChanged();
}

void GPUStore::setLastRefresh(std::optional<QDateTime> when) {
    lastRefresh_ = std::move(when);
    emit lastRefreshChanged();
}

void GPUStore::setRefreshCount(std::int64_t count) {
    refreshCount_ = count;
    emit refreshCountChanged();
}

void GPUStore::setAdvancedRows(std::vector<AdvancedRow> rows) {
    advancedRows_ = std::move(rows);
    emit advancedRowsChanged();
}

} // namespace tarsik
