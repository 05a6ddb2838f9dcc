#include "model/advanced_row.h"
#include "model/gpu_device.h"
#include "model/sensor_reading.h"

#include <gtest/gtest.h>
#include <set>
#include <unordered_set>

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
        const auto id = Uuid::random().toString();
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

TEST(Records, CopiesAreEqualAndHashEqually) {
    const auto device = sampleDevice();
    const auto copy = device;
    EXPECT_EQ(copy, device);
    EXPECT_EQ(std::hash<GPUDevice>{}(copy), std::hash<GPUDevice>{}(device));

    const SensorReading reading{.name = "Temperature", .value = "45", .unit = "°C", .note = "IORegistry: x"};
    const auto readingCopy = reading;
    EXPECT_EQ(readingCopy, reading);
    EXPECT_EQ(std::hash<SensorReading>{}(readingCopy), std::hash<SensorReading>{}(reading));

    auto changed = copy;
    changed.raw["sppci_model"] = "amd radeon rx 6800 xt";
    EXPECT_NE(changed, device) << "text comparison is case-sensitive";
    changed = copy;
    changed.displays[1].online = false;
    EXPECT_NE(changed, device);
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

TEST(Records, AdvancedRowsAreIdentifiedByKey) {
    const AdvancedRow a{.key = "Low Power", .value = "No"};
    const AdvancedRow b{.key = "Low Power", .value = "No"};
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.id(), b.id());
    EXPECT_EQ(std::hash<AdvancedRow>{}(a), std::hash<AdvancedRow>{}(b));
    EXPECT_NE(a, (AdvancedRow{.key = "Low Power", .value = "Yes"}));
    std::unordered_set<AdvancedRow> rows{a, b};
    EXPECT_EQ(rows.size(), 1u);
}

TEST(Records, PlaceholderIsTheNoGPURecord) {
    const auto placeholder = noGPUPlaceholder();
    EXPECT_EQ(placeholder.name, "No GPU detected");
    EXPECT_EQ(placeholder.type, "GPU");
    for (const auto* text :
         {&placeholder.vendor, &placeholder.chipsetModel, &placeholder.bus, &placeholder.pciDeviceID,
          &placeholder.pciRevisionID, &placeholder.vram, &placeholder.metalFamily}) {
        EXPECT_EQ(*text, "Unknown");
    }
    EXPECT_TRUE(placeholder.displays.empty());
    EXPECT_TRUE(placeholder.raw.empty());
    EXPECT_NE(noGPUPlaceholder().id, placeholder.id);
}

} // namespace
} // namespace tarsik
