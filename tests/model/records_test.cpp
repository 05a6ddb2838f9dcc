#include "model/gpu_device.h"
#include "model/sensor_reading.h"
#include "texts/sample_reports.h"

#include <gtest/gtest.h>
#include <set>

namespace tarsik {
namespace {

GPUDevice sampleDevice() {
    return testing::workstationReports().front().device;
}

TEST(Records, EveryBuildTakesAFreshRandomIdentifier) {
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i) {
        const auto id = UUID::random().toString();
        ASSERT_EQ(id.size(), 36u);
        EXPECT_EQ(id[14], '4') << "version 4";
        EXPECT_TRUE(std::string("89ab").find(id[19]) != std::string::npos) << "RFC 4122 variant";
        seen.insert(id);
    }
    EXPECT_EQ(seen.size(), 1000u);

    const auto a = sampleDevice();
    const auto b = sampleDevice();
    EXPECT_NE(a.id, b.id);
    EXPECT_NE(a, b) << "identical visible fields, different records";
    EXPECT_NE(a.displays[0].id, b.displays[0].id);
    EXPECT_NE(SensorReading{.name = "x"}, SensorReading{.name = "x"});
}

TEST(Records, DisplaysCompareInOrderRawAsASet) {
    const auto device = sampleDevice();

    auto reordered = device;
    std::swap(reordered.displays[0], reordered.displays[1]);
    EXPECT_NE(reordered, device);

    auto rebuilt = device;
    rebuilt.raw.clear();
    rebuilt.raw.emplace("driver", "amdgpu");
    rebuilt.raw.emplace("PCI Slot", "0000:03:00.0");
    EXPECT_EQ(rebuilt, device);
    EXPECT_EQ(std::hash<GPUDevice>{}(rebuilt), std::hash<GPUDevice>{}(device));
}

} // namespace
} // namespace tarsik
