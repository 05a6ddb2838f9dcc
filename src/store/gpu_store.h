#pragma once

#include "collector/gpu_info_collector.h"
#include "model/advanced_row.h"
#include "model/gpu_device.h"
#include "model/sensor_reading.h"

#include <QDateTime>
#include <QObject>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace tarsik {

// The one observable state of the application, confined to the UI thread. Every assignment to
// an observable property emits its change signal, also when the value is unchanged, so views
// see each intermediate state in the order the operations make them.
class GPUStore : public QObject {
    Q_OBJECT

  public:
    explicit GPUStore(std::shared_ptr<const GPUInfoCollector> collector, QObject* parent = nullptr);

    const std::vector<GPUDevice>& devices() const { return devices_; }
    const std::optional<Uuid>& selectedID() const { return selectedID_; }
    const std::vector<SensorReading>& sensors() const { return sensors_; }
    bool isRefreshing() const { return isRefreshing_; }
    const std::optional<QDateTime>& lastRefresh() const { return lastRefresh_; }
    std::int64_t refreshCount() const { return refreshCount_; }
    const std::vector<AdvancedRow>& advancedRows() const { return advancedRows_; }

    // The device whose id is selected, else the first device; null only with no devices.
    const GPUDevice* selectedGPU() const;

    // The start-up pass: the fast inventory, its first device selected, its rows and readings.
    void applyFastInventory();
    void updateAdvancedRows(const GPUDevice* device);

  signals:
    void devicesChanged();
    void selectedIDChanged();
    void sensorsChanged();
    void isRefreshingChanged();
    void lastRefreshChanged();
    void refreshCountChanged();
    void advancedRowsChanged();

  private:
    void setDevices(std::vector<GPUDevice> devices);
    void setSelectedID(std::optional<Uuid> id);
    void setSensors(std::vector<SensorReading> sensors);
    void setLastRefresh(std::optional<QDateTime> when);
    void setRefreshCount(std::int64_t count);
    void setAdvancedRows(std::vector<AdvancedRow> rows);

    std::vector<GPUDevice> devices_;
    std::optional<Uuid> selectedID_;
    std::vector<SensorReading> sensors_;
    bool isRefreshing_ = false;
    std::optional<QDateTime> lastRefresh_;
    std::int64_t refreshCount_ = 0;
    std::vector<AdvancedRow> advancedRows_;
    std::shared_ptr<const GPUInfoCollector> collector_;
};

} // namespace tarsik
