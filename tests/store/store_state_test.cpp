#include "store/fake_async_collector.h"
#include "store/gpu_store.h"
#include "store/store_probe.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

std::shared_ptr<testing::FakeAsyncCollector> fakeWith(std::vector<std::string> names) {
    auto fake = std::make_shared<testing::FakeAsyncCollector>();
    for (auto& name : names) {
        fake->fastDevices.push_back(
            GPUDevice{.name = name,
                      .vram = "8 GB",
                      .metalFamily = "Supported",
                      .raw = {{"Fast Startup Source", "Metal"}, {"Low Power", "No"}}});
    }
    return fake;
}

TEST(StoreState, StartsEmptyAndStartsNothing) {
    auto fake = fakeWith({"A"});
    GPUStore store(fake);
    EXPECT_TRUE(store.devices().empty());
    EXPECT_FALSE(store.selectedID());
    EXPECT_EQ(store.selectedGPU(), nullptr);
    EXPECT_FALSE(store.isRefreshing());
    EXPECT_FALSE(store.lastRefresh());
    EXPECT_EQ(store.refreshCount(), 0);
    EXPECT_TRUE(fake->inventories.empty());
}

TEST(StoreState, FastPassPublishesTheListWithItsFirstDeviceSelected) {
    GPUStore store(fakeWith({"AMD Radeon RX 6800 XT", "Intel UHD Graphics 630"}));
    testing::StoreProbe::applyFastInventory(store);
    ASSERT_EQ(store.devices().size(), 2u);
    EXPECT_EQ(store.selectedID(), store.devices()[0].id);
    EXPECT_EQ(store.selectedGPU(), &store.devices()[0]);
    EXPECT_EQ(store.refreshCount(), 1);
    EXPECT_TRUE(store.lastRefresh());
    EXPECT_FALSE(store.isRefreshing());
    ASSERT_EQ(store.sensors().size(), 4u);
    EXPECT_EQ(store.sensors()[0].value, "AMD Radeon RX 6800 XT");
    ASSERT_EQ(store.advancedRows().size(), 2u);
    EXPECT_EQ(store.advancedRows()[0].key, "Fast Startup Source");

    store.selectGPU(UUID::random());
    EXPECT_EQ(store.selectedGPU(), &store.devices()[0]) << "a stale selection stands for the first device";
}

TEST(StoreState, AdvancedRowsSortByCodePointAndEmitOnEveryAssignment) {
    GPUStore store(fakeWith({}));
    QSignalSpy spy(&store, &GPUStore::advancedRowsChanged);
    GPUDevice device{.raw = {{"sppci_model", "x"}, {"_name", "y"}, {"Profiler Source", "z"}, {"Ärger", "w"}}};
    testing::StoreProbe::updateAdvancedRows(store, &device);
    ASSERT_EQ(store.advancedRows().size(), 4u);
    EXPECT_EQ(store.advancedRows()[0].key, "Profiler Source");
    EXPECT_EQ(store.advancedRows()[1].key, "_name");
    EXPECT_EQ(store.advancedRows()[2].key, "sppci_model");
    EXPECT_EQ(store.advancedRows()[3].key, "Ärger") << "U+00C4 comes after every ASCII letter";

    testing::StoreProbe::updateAdvancedRows(store, nullptr);
    testing::StoreProbe::updateAdvancedRows(store, nullptr);
    EXPECT_TRUE(store.advancedRows().empty());
    EXPECT_EQ(spy.count(), 3) << "unchanged values are announced too";
}

} // namespace
} // namespace tarsik
