#include "collector/gpu_info_collector.h"
#include "store/future_result.h"
#include "store/gpu_store.h"

#include <QPointer>

namespace tarsik {
namespace {

// What identifies the selection across a refresh, which gives every record a new id.
struct SelectionMemory {
    std::optional<std::string> slot;
    std::string name;
};

// The device the refresh selects: the one at the same bus address (an NVIDIA card's name changes
// while it sleeps); else the first whose name, or failing that chipset model, equals the
// previously selected name (both tested on each device in turn); else the first device.
const GPUDevice* chooseSelection(const std::vector<GPUDevice>& found,
                                 const std::optional<SelectionMemory>& previous) {
    if (found.empty()) {
        return nullptr;
    }
    if (previous && previous->slot) {
        for (const auto& device : found) {
            if (const auto* slot = pciSlotOf(device); slot && *slot == *previous->slot) {
                return &device;
            }
        }
    }
    if (previous) {
        for (const auto& device : found) {
            if (device.name == previous->name || device.chipsetModel == previous->name) {
                return &device;
            }
        }
    }
    return &found.front();
}

} // namespace

QCoro::Task<> GPUStore::runRefreshTask(QPointer<GPUStore> store, CancellableTask task) {
    if (store) {
        co_await store->refresh(task);
    }
    if (store) {
        store->refreshTask_.reset();
    }
}

QCoro::Task<> GPUStore::startupRefresh(CancellableTask task) {
    if (devices_.empty()) {
        applyFastInventory();
    }
    co_await refresh(std::move(task));
}

QCoro::Task<> GPUStore::refresh(CancellableTask task) {
    if (isRefreshing_) {
        co_return;
    }
    if (sensorTask_) {
        sensorTask_->cancel();
    }
    setIsRefreshing(true);
    std::optional<SelectionMemory> previous;
    if (const auto* selected = selectedGPU()) {
        const auto* slot = pciSlotOf(*selected);
        previous =
            SelectionMemory{.slot = slot ? std::optional(*slot) : std::nullopt, .name = selected->name};
    }

    // From here on `this` may be destroyed while suspended; only `self` tells.
    const QPointer<GPUStore> self(this);
    const auto collector = collector_;
    auto found = co_await awaitResult(collector->collect());
    if (!self) {
        co_return;
    }
    if (task.isCancelled() || !found) {
        setIsRefreshing(false);
        co_return;
    }

    const GPUDevice* chosen = chooseSelection(*found, previous);
    std::optional<GPUDevice> chosenCopy;
    if (chosen != nullptr) {
        chosenCopy = *chosen;
    }
    std::vector<SensorReading> readings;
    if (dynamicSensorsRequested_) {
        auto discovered = co_await awaitResult(collector->sensorsAsync(chosenCopy));
        if (!self) {
            co_return;
        }
        if (task.isCancelled() || !discovered) {
            setIsRefreshing(false);
            co_return;
        }
        readings = std::move(*discovered);
    } else {
        readings = GPUInfoCollector::basicSensorsSynchronously(chosen);
    }

    std::optional<UUID> chosenID;
    if (chosenCopy) {
        chosenID = chosenCopy->id;
    }
    setDevices(std::move(*found));
    setSelectedID(chosenID);
    updateAdvancedRows(selectedGPU());
    if (dynamicSensorsRequested_) {
        publishFreshSensors(std::move(readings), chosenCopy ? &*chosenCopy : nullptr);
    } else {
        setSensors(std::move(readings));
    }
    setLastRefresh(QDateTime::currentDateTime());
    setRefreshCount(refreshCount_ + 1);
    setIsRefreshing(false);
}

void GPUStore::requestRefresh() {
    if (refreshTask_) {
        return;
    }
    refreshTask_ = CancellableTask{};
    runRefreshTask(QPointer<GPUStore>(this), *refreshTask_);
}

void GPUStore::selectGPU(const UUID& id) {
    if (sensorTask_) {
        sensorTask_->cancel();
    }
    setSelectedID(id);
    updateAdvancedRows(selectedGPU());
    updateSensors(selectedGPU(), true);
}

void GPUStore::requestDynamicSensors() {
    if (dynamicSensorsRequested_) {
        return;
    }
    dynamicSensorsRequested_ = true;
    updateSensors(selectedGPU(), true);
}

} // namespace tarsik
