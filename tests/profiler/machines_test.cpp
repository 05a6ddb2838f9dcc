// The whole collector over fixture machines shaped like real ones: the device list, the profiler's
// JSON and the registry source, each reading the same tree.
#include "collector/fake_process_runner.h"
#include "collector/gpu_info_collector.h"
#include "platform/pci/sysfs_gpu_device_list.h"
#include "platform/registry/sysfs_registry_source.h"
#include "profiler/display_profile.h"
#include "support/fake_nvml_control.h"
#include "support/fixture_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

GPUInfoCollector collectorOver(const testing::FixtureTree& tree, bool withProfiler = true,
                               const char* nvmlLibrary = testing::FakeNVML::path) {
    const platform::SystemPaths paths{.root = tree.root()};
    return GPUInfoCollector(platform::Services{
        .gpuDevices = std::make_shared<platform::SysfsGPUDeviceList>(paths),
        .processRunner = std::make_shared<testing::FakeProcessRunner>(
            withProfiler ? std::optional(profiler::displayProfile(paths, nvmlLibrary)) : std::nullopt),
        .registry = std::make_shared<platform::SysfsRegistrySource>(paths, nvmlLibrary),
    });
}

// "slot name vendor vram" per record.
std::vector<std::string> summaries(const std::vector<GPUDevice>& devices) {
    std::vector<std::string> out;
    for (const auto& device : devices) {
        const auto* slot = pciSlotOf(device);
        out.push_back((slot ? *slot : "-") + " " + device.name + " | " + device.vendor + " | " + device.vram);
    }
    return out;
}

// The value and unit of the reading of that name, or "-".
std::string reading(const std::vector<SensorReading>& readings, std::string_view name) {
    for (const auto& r : readings) {
        if (r.name == name) {
            return r.value + " " + r.unit;
        }
    }
    return "-";
}

class Machines : public ::testing::Test {
  protected:
    testing::FakeNVML nvml;
};

// Four identical H100s behind a BMC whose ASPEED adapter is the boot VGA.
TEST_F(Machines, GPUServerListsItsComputeGPUsFirstEachWithItsOwnMemoryAndReadings) {
    const testing::FixtureTree tree("gpu-server");
    const char* buses[] = {"00000000:18:00.0", "00000000:2A:00.0", "00000000:BA:00.0", "00000000:DB:00.0"};
    const unsigned temperatures[] = {33, 41, 52, 64};
    for (int i = 0; i < 4; ++i) {
        nvml.addH100(buses[i]).temperatureCelsius = temperatures[i];
    }
    const auto collector = collectorOver(tree);
    const auto initialisations = nvml.state().initCalls;

    const auto fast = collector.collectFast();
    EXPECT_THAT(summaries(fast), ElementsAre("0000:18:00.0 NVIDIA H100 80GB HBM3 | NVIDIA | Unknown",
                                             "0000:2a:00.0 NVIDIA H100 80GB HBM3 | NVIDIA | Unknown",
                                             "0000:ba:00.0 NVIDIA H100 80GB HBM3 | NVIDIA | Unknown",
                                             "0000:db:00.0 NVIDIA H100 80GB HBM3 | NVIDIA | Unknown",
                                             "0000:03:00.0 ASPEED Graphics Family | ASPEED | Unknown"))
        << "the UI thread's list never asks NVML";
    EXPECT_EQ(nvml.state().initCalls, initialisations);

    const auto full = collector.collectSynchronously();
    EXPECT_THAT(summaries(full), ElementsAre("0000:18:00.0 NVIDIA H100 80GB HBM3 | NVIDIA | 79.65 GB",
                                             "0000:2a:00.0 NVIDIA H100 80GB HBM3 | NVIDIA | 79.65 GB",
                                             "0000:ba:00.0 NVIDIA H100 80GB HBM3 | NVIDIA | 79.65 GB",
                                             "0000:db:00.0 NVIDIA H100 80GB HBM3 | NVIDIA | 79.65 GB",
                                             "0000:03:00.0 ASPEED Graphics Family | ASPEED | Unknown"));
    for (int i = 0; i < 4; ++i) {
        const auto readings = collector.sensorsSynchronously(&full[static_cast<std::size_t>(i)]);
        EXPECT_EQ(reading(readings, "GPU Temperature"), std::to_string(temperatures[i]) + " \u00B0C") << i;
    }
    EXPECT_EQ(reading(collector.sensorsSynchronously(&full[4]), "No exposed GPU sensors found"), "N/A ");
}

TEST_F(Machines, SleepingNvidiaGPUsAreNotAskedForTheirMemory) {
    const testing::FixtureTree tree("gpu-server");
    nvml.addH100("00000000:18:00.0");
    tree.write("sys/bus/pci/devices/0000:18:00.0/power/runtime_status", "suspended\n");
    const auto full = collectorOver(tree).collectSynchronously();
    EXPECT_EQ(summaries(full)[0], "0000:18:00.0 NVIDIA GH100 [H100 SXM5 80GB] | NVIDIA | Unknown");
    EXPECT_THAT(std::string(nvml.state().lookedUp), Not(HasSubstr("18:00.0")));
}

// Two identical RX 6800 XT cards, the first driving both monitors, beside an idle Intel iGPU.
TEST_F(Machines, TwinCardsKeepTheirOwnReadingsAndTheBootCardComesFirst) {
    const testing::FixtureTree tree("twin-radeon-desktop");
    for (const bool withProfiler : {true, false}) {
        const auto collector = collectorOver(tree, withProfiler);
        const auto full = collector.collectSynchronously();
        ASSERT_EQ(full.size(), 3u) << withProfiler;
        EXPECT_THAT(summaries(full),
                    ElementsAre("0000:03:00.0 AMD Radeon RX 6800 XT | AMD | 15.98 GB",
                                "0000:00:02.0 Intel CoffeeLake-S GT2 [UHD Graphics 630] | Intel | Unknown",
                                "0000:0b:00.0 AMD Radeon RX 6800 XT | AMD | 15.98 GB"))
            << withProfiler;
        const auto first = collector.sensorsSynchronously(&full[0]);
        const auto second = collector.sensorsSynchronously(&full[2]);
        EXPECT_EQ(reading(first, "GPU Temperature") + " " + reading(first, "GPU Load"), "47 \u00B0C 3 %");
        EXPECT_EQ(reading(second, "GPU Temperature") + " " + reading(second, "GPU Load"), "88 \u00B0C 99 %");
        EXPECT_EQ(reading(second, "Memory Clock"), "1000 MHz");
        EXPECT_EQ(reading(collector.sensorsSynchronously(&full[1]), "GPU Temperature"), "-")
            << "the iGPU never shows a card's temperature";
    }
    const auto profiled = collectorOver(tree).collectSynchronously();
    EXPECT_EQ(profiled[0].displays.size(), 2u);
    EXPECT_TRUE(profiled[0].displays[0].main);
}

// MI200/MI300-class parts have no edge sensor: the hotspot stands for the GPU.
TEST_F(Machines, AnAmdGPUWithoutEdgeSensorReportsItsJunctionTemperature) {
    const testing::FixtureTree tree("twin-radeon-desktop");
    for (const char* file :
         {"temp1_input", "temp1_label", "temp1_crit", "temp1_crit_hyst", "temp1_emergency"}) {
        tree.remove(std::string("sys/bus/pci/devices/0000:0b:00.0/hwmon/hwmon5/") + file);
    }
    GPUDevice card{.name = "AMD Instinct MI210", .raw = {{pciSlotKey, "0000:0b:00.0"}}};
    EXPECT_EQ(reading(collectorOver(tree).sensorsSynchronously(&card), "GPU Temperature"), "104 \u00B0C");
}

// A GeForce whose driver counts GDDR6 at 7000 MHz and has no RPM call for its fan.
TEST(MachinesWithOlderNVML, AMemoryClockOfSevenThousandStaysAndTheFanIsLeftOut) {
    testing::FakeNVML nvml(testing::FakeNVML::pathWithoutFanRpm);
    auto& card = nvml.addH100("00000000:01:00.0");
    card.memoryClockMHz = 7000;
    card.fanResult = 0;
    card.fanRpm = 1500;
    const testing::FixtureTree tree("workstation");
    GPUDevice rtx{.name = "NVIDIA GeForce RTX 3050", .raw = {{pciSlotKey, "0000:01:00.0"}}};
    const auto readings =
        collectorOver(tree, false, testing::FakeNVML::pathWithoutFanRpm).sensorsSynchronously(&rtx);
    EXPECT_EQ(reading(readings, "Memory Clock"), "7000 MHz");
    EXPECT_EQ(reading(readings, "Fan Speed"), "-");
    EXPECT_EQ(reading(readings, "GPU Temperature"), "34 \u00B0C");
}

} // namespace
} // namespace tarsik
