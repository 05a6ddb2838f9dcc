#include "collector/fake_gpu_device_list.h"
#include "collector/gpu_info_collector.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

GPUInfoCollector collectorOver(std::vector<platform::GPUDeviceInfo> devices) {
    return GPUInfoCollector(
        platform::Services{.gpuDevices = std::make_shared<testing::FakeGPUDeviceList>(std::move(devices))});
}

TEST(FastInventory, BuildsOneRecordPerListedDeviceInListOrder) {
    const auto devices = collectorOver({
                                           {.name = "AMD Radeon RX 6800 XT",
                                            .isLowPower = false,
                                            .recommendedMaxWorkingSetSize = 17163091968,
                                            .isRemovable = true},
                                           {.name = "Intel CoffeeLake-S GT2 [UHD Graphics 630]",
                                            .isLowPower = true,
                                            .recommendedMaxWorkingSetSize = 0,
                                            .hasUnifiedMemory = true},
                                       })
                             .collectFast();
    ASSERT_EQ(devices.size(), 2u);
    const auto& amd = devices[0];
    EXPECT_EQ(amd.vendor, "AMD");
    EXPECT_EQ(amd.type, "Discrete");
    EXPECT_EQ(amd.vram, "15.98 GB");
    EXPECT_THAT(amd.raw, ElementsAre(Pair("Fast Startup Source", "Metal"), Pair("Low Power", "No"),
                                     Pair("Metal Device Name", "AMD Radeon RX 6800 XT"),
                                     Pair("Recommended Max Working Set", "15.98 GB"),
                                     Pair("Removable", "Yes"), Pair("Unified Memory", "No")));

    const auto& intel = devices[1];
    EXPECT_EQ(intel.vendor, "Intel");
    EXPECT_EQ(intel.type, "Integrated");
    EXPECT_EQ(intel.raw.at("Unified Memory"), "Yes");
    // The list says 0 when it cannot tell; "Zero KB" of VRAM would be a wrong number on screen.
    EXPECT_EQ(intel.vram, "Unknown");
    EXPECT_EQ(intel.raw.at("Recommended Max Working Set"), "Unknown");
}

TEST(FastInventory, NoDeviceGivesExactlyThePlaceholder) {
    const auto devices = collectorOver({}).collectFast();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].name, "No GPU detected");
    EXPECT_TRUE(devices[0].raw.empty());
}

TEST(FastInventory, MetalSummaryListsFamiliesInOrderOrSaysSupported) {
    using platform::GPUDeviceInfo;
    EXPECT_EQ(GPUInfoCollector::metalSummary(GPUDeviceInfo{}), "Supported");
    EXPECT_EQ(GPUInfoCollector::metalSummary(
                  GPUDeviceInfo{.families = {.metal3 = true, .mac2 = true, .mac1 = true}}),
              "Metal 3, macOS GPU Family 2, macOS GPU Family 1");
}

TEST(FastInventory, VendorFromNameIsAFirstMatchSubstringTest) {
    const std::pair<const char*, const char*> cases[] = {
        {"Some RADEON thing", "AMD"},
        {"Quadro P4000", "NVIDIA"},
        {"Search Engine", "Intel"}, // any word containing "arc"
        {"Apple M2 Max", "Apple"},
        {"apple amd hybrid", "AMD"}, // the first row wins
        {"Red Hat Virtio 1.0 GPU", "Unknown"},
    };
    for (const auto& [name, vendor] : cases) {
        EXPECT_EQ(GPUInfoCollector::vendor(name), vendor) << name;
    }
}

TEST(FastInventory, BasicReadings) {
    EXPECT_TRUE(GPUInfoCollector::basicSensorsSynchronously(nullptr).empty());

    // The four readings' names and forms are checked with a fixture card's sensors.
    auto device = noGPUPlaceholder();
    EXPECT_EQ(GPUInfoCollector::basicSensorsSynchronously(&device)[1].value, "N/A");
    device.vram = "unknown"; // only the exact text is replaced
    device.displays.resize(2);
    const auto readings = GPUInfoCollector::basicSensorsSynchronously(&device);
    EXPECT_EQ(readings[1].value, "unknown");
    EXPECT_EQ(readings[3].value, "2");
    EXPECT_NE(readings[0].id, GPUInfoCollector::basicSensorsSynchronously(&device)[0].id);
}

} // namespace
} // namespace tarsik
