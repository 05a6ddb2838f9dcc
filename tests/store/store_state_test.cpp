#include "store/fake_async_collector.h"
#include "store/gpu_store.h"
#include "store/store_probe.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

TEST(StoreState, AdvancedRowsSortByCodePointAndEmitOnEveryAssignment) {
    GPUStore store(std::make_shared<testing::FakeAsyncCollector>());
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
