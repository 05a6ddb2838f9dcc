#pragma once

#include "store/gpu_store.h"

namespace tarsik::testing {

// The store's own steps, which no view calls: tests set the store up and look inside with them.
struct StoreProbe {
    static void applyFastInventory(GPUStore& store) { store.applyFastInventory(); }
    static void updateAdvancedRows(GPUStore& store, const GPUDevice* device) {
        store.updateAdvancedRows(device);
    }
    static void cacheSensors(GPUStore& store, const std::vector<SensorReading>& readings,
                             const GPUDevice* device) {
        store.cacheSensors(readings, device);
    }
    static std::optional<std::vector<SensorReading>> cachedSensors(const GPUStore& store,
                                                                   const GPUDevice* device) {
        return store.cachedSensors(device);
    }
    // Keys of the cached devices, least recently stored first.
    static const std::vector<std::string>& sensorCacheOrder(const GPUStore& store) {
        return store.sensorCacheOrder();
    }
    static bool hasPendingRefreshTask(const GPUStore& store) { return store.hasPendingRefreshTask(); }
};

} // namespace tarsik::testing
