#pragma once

#include "store/fake_async_collector.h"
#include "store/gpu_store.h"
#include "store/store_probe.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

namespace tarsik::testing {

// A store over a fake collector, with the fast inventory of the given devices published.
struct StoreWithDevices {
    explicit StoreWithDevices(std::vector<GPUDevice> devices) : fake(std::make_shared<FakeAsyncCollector>()) {
        fake->fastDevices = std::move(devices);
        store = std::make_unique<GPUStore>(fake);
        testing::StoreProbe::applyFastInventory(*store);
    }

    std::shared_ptr<FakeAsyncCollector> fake;
    std::unique_ptr<GPUStore> store;
};

inline GPUDevice deviceWithRows(const std::string& name, int rows) {
    GPUDevice device{.name = name};
    for (int index = 0; index < rows; ++index) {
        device.raw.emplace("Key " + std::to_string(1000 + index), "value " + std::to_string(index));
    }
    return device;
}

inline QString clipboardText() {
    return QApplication::clipboard()->text();
}

} // namespace tarsik::testing
