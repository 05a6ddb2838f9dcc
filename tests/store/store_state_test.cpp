#include "../collector/fake_gpu_device_list.h"
#include "store/gpu_store.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

std::shared_ptr<GPUInfoCollector> collectorOver(std::vector<platform::GpuDeviceInfo> devices) {
    return std::make_shared<GPUInfoCollector>(
        platform::Services{.gpuDevices = std::make_shared<testing::FakeGpuDeviceList>(std::move(devices))});
}

// Records the order in which the store's observable properties are assigned.
class SignalRecorder {
  public:
    explicit SignalRecorder(GPUStore& store) {
        const std::pair<void (GPUStore::*)(), const char*> changeSignals[] = {
            {&GPUStore::devicesChanged, "devices"},
            {&GPUStore::selectedIDChanged, "selectedID"},
            {&GPUStore::sensorsChanged, "sensors"},
            {&GPUStore::isRefreshingChanged, "isRefreshing"},
            {&GPUStore::lastRefreshChanged, "lastRefresh"},
            {&GPUStore::refreshCountChanged, "refreshCount"},
            {&GPUStore::advancedRowsChanged, "advancedRows"},
        };
        for (const auto& [signal, name] : changeSignals) {
            QObject::connect(&store, signal, [this, name = std::string(name)] { order.push_back(name); });
        }
    }
    std::vector<std::string> order;
};

TEST(StoreState, StartsEmptyAndStartsNothing) {
    GPUStore store(collectorOver({{.name = "A"}}));
    EXPECT_TRUE(store.devices().empty());
    EXPECT_FALSE(store.selectedID());
    EXPECT_EQ(store.selectedGPU(), nullptr);
    EXPECT_FALSE(store.isRefreshing());
    EXPECT_FALSE(store.lastRefresh());
    EXPECT_EQ(store.refreshCount(), 0);
}

TEST(StoreState, FastPassPublishesTheListWithItsFirstDeviceSelected) {
    GPUStore store(collectorOver({{.name = "AMD Radeon RX 6800 XT"}, {.name = "Intel UHD Graphics 630"}}));
    SignalRecorder recorder(store);
    store.applyFastInventory();

    EXPECT_EQ(recorder.order, (std::vector<std::string>{"devices", "selectedID", "advancedRows", "sensors",
                                                        "lastRefresh", "refreshCount"}));
    ASSERT_EQ(store.devices().size(), 2u);
    EXPECT_EQ(store.selectedID(), store.devices()[0].id);
    EXPECT_EQ(store.selectedGPU(), &store.devices()[0]);
    EXPECT_EQ(store.refreshCount(), 1);
    EXPECT_TRUE(store.lastRefresh());
    EXPECT_FALSE(store.isRefreshing());
    ASSERT_EQ(store.sensors().size(), 4u);
    EXPECT_EQ(store.sensors()[0].value, "AMD Radeon RX 6800 XT");

    std::vector<std::string> keys;
    for (const auto& row : store.advancedRows()) {
        keys.push_back(row.key);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"Fast Startup Source", "Low Power", "Metal Device Name",
                                              "Recommended Max Working Set", "Removable", "Unified Memory"}));
}

TEST(StoreState, AdvancedRowsSortByCodePointAndEmitOnEveryAssignment) {
    GPUStore store(collectorOver({}));
    QSignalSpy spy(&store, &GPUStore::advancedRowsChanged);
    GPUDevice device{.raw = {{"sppci_model", "x"}, {"_name", "y"}, {"Profiler Source", "z"}, {"Ärger", "w"}}};
    store.updateAdvancedRows(&device);
    ASSERT_EQ(store.advancedRows().size(), 4u);
    EXPECT_EQ(store.advancedRows()[0].key, "Profiler Source");
    EXPECT_EQ(store.advancedRows()[1].key, "_name");
    EXPECT_EQ(store.advancedRows()[2].key, "sppci_model");
    EXPECT_EQ(store.advancedRows()[3].key, "Ärger") << "U+00C4 comes after every ASCII letter";

    store.updateAdvancedRows(nullptr);
    store.updateAdvancedRows(nullptr);
    EXPECT_TRUE(store.advancedRows().empty());
    EXPECT_EQ(spy.count(), 3) << "unchanged values are announced too";

    const auto placeholder = noGPUPlaceholder();
    store.updateAdvancedRows(&placeholder);
    EXPECT_TRUE(store.advancedRows().empty());
}

TEST(StoreState, StaleSelectionStandsForTheFirstDevice) {
    GPUStore store(collectorOver({}));
    store.applyFastInventory();
    ASSERT_EQ(store.devices().size(), 1u);
    EXPECT_EQ(store.devices()[0].name, "No GPU detected");
    EXPECT_EQ(store.sensors().size(), 4u);
    EXPECT_EQ(store.sensors()[3].value, "0");
}

} // namespace
} // namespace tarsik
