#pragma once

#include "model/advanced_row.h"
#include "model/gpu_device.h"
#include "model/gpu_report.h"
#include "model/sensor_reading.h"
#include "store/async_collector.h"
#include "store/cancellable_task.h"
#include "store/sensor_history.h"

#include <QCoro/QCoroTask>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarsik {

namespace testing {
struct StoreProbe;
}

// The one observable state of the application, confined to the UI thread. Every assignment to
// an observable property emits its change signal, also when the value is unchanged, so views
// see each intermediate state in the order the operations make them. Views call only
// startupRefresh, requestRefresh, selectGPU and requestDynamicSensors, and the Sensors tab's Live
// toggle calls setLiveSensors.
class GPUStore : public QObject {
    Q_OBJECT

  public:
    static constexpr std::size_t sensorCacheLimit = 4;

    explicit GPUStore(std::shared_ptr<AsyncCollector> collector, QObject* parent = nullptr);
    ~GPUStore() override;

    const std::vector<GPUDevice>& devices() const { return devices_; }
    const std::optional<UUID>& selectedID() const { return selectedID_; }
    const std::vector<SensorReading>& sensors() const { return sensors_; }
    bool isRefreshing() const { return isRefreshing_; }
    const std::optional<QDateTime>& lastRefresh() const { return lastRefresh_; }
    std::int64_t refreshCount() const { return refreshCount_; }
    const std::vector<AdvancedRow>& advancedRows() const { return advancedRows_; }
    // The recent values of one of `sensors`, oldest first; null when it has none. Changes with
    // `sensors`: every freshly read list adds its values before it is published.
    const std::deque<HistoryPoint>* historyOf(const SensorReading& reading) const;

    // The device whose id is selected, else the first device; null only with no devices.
    const GPUDevice* selectedGPU() const;

    // The fast pass when nothing is listed yet, then a full refresh. `task` is the caller's
    // (the window's start-up task), so closing the window cancels it.
    QCoro::Task<> startupRefresh(CancellableTask task = {});
    // The full inventory with the selection kept by bus address, else by name; returns at once
    // while one runs.
    QCoro::Task<> refresh(CancellableTask task);
    // The Refresh button: one refresh task at a time, further presses are dropped.
    void requestRefresh();
    void selectGPU(const UUID& id);
    // The Sensors tab's first appearance: from now on selections and refreshes run full discovery.
    void requestDynamicSensors();
    // Live: while some viewer wants it, the selected GPU's sensors are read again every
    // `livePeriod` in the background: at once when it starts, unless a read began less than a
    // period ago. A read never starts while one runs; one that outlasts the period delays the next
    // by a quarter period. When no viewer wants it the timer stops; a read still running is
    // published, and nothing follows it. A result for a GPU no longer selected is dropped. Each
    // window's Sensors tab is a viewer, wanting it while its toggle is on and it is seen.
    static constexpr std::chrono::milliseconds livePeriod{1000};
    void setLiveSensors(const QObject* viewer, bool wanted);

    // tarsik-report's path through the store: the start-up refresh, then every listed GPU selected
    // in turn by its id with full discovery, as on the Sensors tab. Each GPU once, in list order.
    // Whatever has not come by the deadline is reported as it stands: a GPU whose discovery is
    // late gets its basic readings, marked late.
    QCoro::Task<std::vector<GPUReport>> reportEveryGPU(std::chrono::milliseconds deadline);
    // tarsik-report's later samples: the sensors of the reported GPUs read again, each once in
    // order, with neither the inventory, the selection nor the sensor cache touched. A GPU whose
    // readings have not come by the deadline gets its basic readings, marked late.
    QCoro::Task<std::vector<GPUReport>> readSensorsAgain(std::vector<GPUReport> reports,
                                                         std::chrono::milliseconds deadline);

  signals:
    void devicesChanged();
    void selectedIDChanged();
    void sensorsChanged();
    void isRefreshingChanged();
    void lastRefreshChanged();
    void refreshCountChanged();
    void advancedRowsChanged();

  private:
    // Tests set the store up and look inside through it; views never reach these steps.
    friend struct testing::StoreProbe;

    void applyFastInventory();
    void updateAdvancedRows(const GPUDevice* device);
    void updateSensors(const GPUDevice* device, bool preferCache);
    void cacheSensors(const std::vector<SensorReading>& readings, const GPUDevice* device);
    std::optional<std::vector<SensorReading>> cachedSensors(const GPUDevice* device) const;
    // Keys of the cached devices, least recently stored first.
    const std::vector<std::string>& sensorCacheOrder() const { return sensorCacheOrder_; }
    bool hasPendingRefreshTask() const { return refreshTask_.has_value(); }

    // The store's tasks hold it only weakly: a task that outlives the store touches nothing.
    static QCoro::Task<> runSensorTask(QPointer<GPUStore> store, std::shared_ptr<AsyncCollector> collector,
                                       std::optional<GPUDevice> device,
                                       std::optional<UUID> requestedSelection, CancellableTask task);
    static QCoro::Task<> runRefreshTask(QPointer<GPUStore> store, CancellableTask task);
    void scheduleLiveRead(std::chrono::milliseconds gap);
    void readLiveSample();
    static QCoro::Task<> runLiveTask(QPointer<GPUStore> store, std::shared_ptr<AsyncCollector> collector,
                                     GPUDevice device);
    // Adds freshly read readings of `device` to its history and publishes them.
    void publishFreshSensors(std::vector<SensorReading> readings, const GPUDevice* device);

    void setDevices(std::vector<GPUDevice> devices);
    void setSelectedID(std::optional<UUID> id);
    void setSensors(std::vector<SensorReading> sensors);
    void setIsRefreshing(bool refreshing);
    void setLastRefresh(std::optional<QDateTime> when);
    void setRefreshCount(std::int64_t count);
    void setAdvancedRows(std::vector<AdvancedRow> rows);

    std::vector<GPUDevice> devices_;
    std::optional<UUID> selectedID_;
    std::vector<SensorReading> sensors_;
    bool isRefreshing_ = false;
    std::optional<QDateTime> lastRefresh_;
    std::int64_t refreshCount_ = 0;
    std::vector<AdvancedRow> advancedRows_;
    std::shared_ptr<AsyncCollector> collector_;
    std::optional<CancellableTask> sensorTask_;
    std::optional<CancellableTask> refreshTask_;
    bool dynamicSensorsRequested_ = false;
    std::map<std::string, std::vector<SensorReading>> sensorCache_;
    std::vector<std::string> sensorCacheOrder_;
    SensorHistory history_;
    std::map<const QObject*, QMetaObject::Connection> liveViewers_;
    bool liveReadRunning_ = false;
    std::optional<std::chrono::steady_clock::time_point> liveReadStarted_;
    QTimer liveTimer_;
};

} // namespace tarsik
