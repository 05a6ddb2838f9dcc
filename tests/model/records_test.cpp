#include "model/gpu_device.h"
#include "model/sensor_reading.h"

#include <gtest/gtest.h>
#include <set>

namespace tarsik {
namespace {

GPUDevice sampleDevice() {
    return GPUDevice{
        .name = "AMD Radeon RX 6800 XT",
        .vendor = "AMD",
        .chipsetModel = "AMD Radeon RX 6800 XT",
        .type = "Discrete",
        .bus = "PCIe",
        .pciDeviceID = "0x73bf",
        .pciRevisionID = "0x00c1",
        .vram = "16 GB",
        .metalFamily = "Supported",
        .displays =
            {DisplayInfo{.name = "DELL U2720Q", .resolution = "3840 x 2160", .main = true, .online = true},
             DisplayInfo{.name = "HDMI-A-1", .resolution = "1920 x 1080", .main = false, .online = true}},
        .raw = {{"sppci_model", "AMD Radeon RX 6800 XT"},
                {"Profiler Source", "system_profiler SPDisplaysDataType"}},
    };
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
    rebuilt.raw.emplace("Profiler Source", "system_profiler SPDisplaysDataType");
    rebuilt.raw.emplace("sppci_model", "AMD Radeon RX 6800 XT");
    EXPECT_EQ(rebuilt, device);
    EXPECT_EQ(std::hash<GPUDevice>{}(rebuilt), std::hash<GPUDevice>{}(device));
}

} // namespace
} // namespace tarsik
