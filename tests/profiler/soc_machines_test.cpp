// Machines whose GPU is part of the SoC, through the whole collector as on the PCI machines: the
// device list, the profiler's JSON and the registry source over one fixture tree.
#include "collector/fake_process_runner.h"
#include "collector/gpu_info_collector.h"
#include "model/sensor_kind.h"
#include "platform/pci/sysfs_gpu_device_list.h"
#include "platform/registry/sysfs_registry_source.h"
#include "profiler/display_profile.h"
#include "support/fixture_tree.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

using ::testing::ElementsAre;

GPUInfoCollector collectorOver(const testing::FixtureTree& tree) {
    const platform::SystemPaths paths{.root = tree.root()};
    return GPUInfoCollector(platform::Services{
        .gpuDevices = std::make_shared<platform::SysfsGPUDeviceList>(paths),
        .processRunner = std::make_shared<testing::FakeProcessRunner>(profiler::displayProfile(paths)),
        // No wait between the load's two samples: a fixture's counters do not move.
        .registry = std::make_shared<platform::SysfsRegistrySource>(
            paths, "libnvidia-ml.so.1", platform::NVMLSession::defaultInitDeadline,
            std::chrono::milliseconds(0)),
    });
}

std::string field(const GPUDevice& device, const std::string& key) {
    const auto found = device.raw.find(key);
    return found == device.raw.end() ? "-" : found->second;
}

// "slot name | vendor | type | bus | memory | displays | machine model" per record.
std::vector<std::string> summaries(const std::vector<GPUDevice>& devices) {
    std::vector<std::string> out;
    for (const auto& device : devices) {
        const auto* slot = pciSlotOf(device);
        std::string displays;
        for (const auto& display : device.displays) {
            displays += (displays.empty() ? "" : ", ") + display.name + " " + display.resolution +
                        (display.main ? " main" : "");
        }
        out.push_back((slot ? *slot : "-") + " " + device.name + " | " + device.vendor + " | " + device.type +
                      " | " + device.bus + " | " + device.vram + " | " + displays + " | " +
                      field(device, "Machine Model"));
    }
    return out;
}

// The canonical readings after the four every GPU has, "name value unit" each.
std::string liveReadings(const std::vector<SensorReading>& readings) {
    std::string out;
    for (std::size_t i = 4; i < readings.size() && !isMoreReading(readings[i]); ++i) {
        out +=
            (out.empty() ? "" : ", ") + readings[i].name + " " + readings[i].value + " " + readings[i].unit;
    }
    return out;
}

struct SocMachine {
    const char* machine;
    const char* summary;
    const char* readings;
};

class SocMachines : public ::testing::TestWithParam<SocMachine> {};

TEST_P(SocMachines, ListTheirGPUOnceWithItsNameMonitorsAndReadings) {
    const auto& expected = GetParam();
    const testing::FixtureTree tree(expected.machine);
    const auto collector = collectorOver(tree);

    const auto full = collector.collectSynchronously();
    EXPECT_THAT(summaries(full), ElementsAre(expected.summary));
    ASSERT_EQ(full.size(), 1u);
    EXPECT_EQ(field(full[0], "Recommended Max Working Set"), full[0].vram) << "the system's memory";
    EXPECT_EQ(field(full[0], "Unified Memory") + field(full[0], "Low Power") + field(full[0], "Removable"),
              "YesYesNo");
    EXPECT_EQ(liveReadings(collector.sensorsSynchronously(&full[0])), expected.readings);

    const auto fast = collector.collectFast();
    ASSERT_EQ(fast.size(), 1u);
    EXPECT_EQ(pciSlotOf(fast[0]) ? *pciSlotOf(fast[0]) : "-", *pciSlotOf(full[0]))
        << "the window keeps its selection when the full inventory arrives";
    EXPECT_EQ(fast[0].name, full[0].name);
}

// Only the SoC's thermal sensor is read while the GPU sleeps: its clock and counters stay alone.
TEST(SocMachine, ASleepingGPUShowsOnlyItsTemperature) {
    const testing::FixtureTree tree("rk3588-board");
    tree.write("sys/devices/platform/fb000000.gpu/power/runtime_status", "suspended\n");
    const auto collector = collectorOver(tree);
    const auto full = collector.collectSynchronously();
    ASSERT_EQ(full.size(), 1u);
    const auto readings = collector.sensorsSynchronously(&full[0]);
    EXPECT_EQ(liveReadings(readings), "GPU Temperature 42.5 \u00B0C");
    EXPECT_EQ(readings.back().value, "Asleep");
}

// Near its trip points a GPU is hot, not broken, and shows it, up to 130 \u00B0C and down to
// -20 \u00B0C. Beyond them the sensor scan would take the value for another unit (149.9 as
// 1.5 \u00B0C), so such a zone shows no temperature.
TEST(SocMachine, HotAndColdGPUsShowTheirTemperatureAndOffSensorsNone) {
    const testing::FixtureTree tree("rk3588-board");
    const auto collector = collectorOver(tree);
    const auto gpu = collector.collectSynchronously().at(0);
    for (const auto& [millidegrees, shown] :
         std::vector<std::pair<std::string, std::string>>{{"129900", "GPU Temperature 129.9 \u00B0C, "},
                                                          {"130000", "GPU Temperature 130 \u00B0C, "},
                                                          {"130001", ""},
                                                          {"149900", ""},
                                                          {"-19900", "GPU Temperature -19.9 \u00B0C, "},
                                                          {"-20000", "GPU Temperature -20 \u00B0C, "},
                                                          {"-20001", ""},
                                                          {"-39900", ""}}) {
        tree.write("sys/devices/virtual/thermal/thermal_zone5/temp", millidegrees + "\n");
        EXPECT_EQ(liveReadings(collector.sensorsSynchronously(&gpu)), shown + "Core Clock 300 MHz")
            << millidegrees;
    }
}

// A Raspberry Pi 5 with a Radeon on its PCIe connector: the card comes first, each GPU keeps its
// own readings, and the monitors on the Pi's HDMI ports stay with the Pi's GPU.
TEST(SocMachine, APCIeCardBesideTheSoCGPUComesFirstAndEachKeepsItsOwn) {
    const testing::FixtureTree tree("raspberry-pi-5-radeon");
    const auto collector = collectorOver(tree);
    const auto full = collector.collectSynchronously();
    EXPECT_THAT(
        summaries(full),
        ElementsAre("0001:01:00.0 1002:73ff | AMD | Discrete | PCIe | 7.98 GB |  | -",
                    "1002000000.v3d Broadcom VideoCore VII | Broadcom | Integrated | Built-In | 7.86 GB | "
                    "DELL U2720Q 3840 x 2160 main | Raspberry Pi 5 Model B Rev 1.0"));
    ASSERT_EQ(full.size(), 2u);
    EXPECT_EQ(liveReadings(collector.sensorsSynchronously(&full[0])),
              "GPU Temperature 48 \u00B0C, GPU Power 45 W, Fan Speed 0 RPM, Core Clock 2589 MHz, "
              "Memory Clock 1000 MHz, GPU Load 17 %");
    EXPECT_EQ(liveReadings(collector.sensorsSynchronously(&full[1])), "No exposed GPU sensors found N/A ");
    EXPECT_EQ(field(full[0], "Low Power") + field(full[1], "Low Power"), "NoYes");
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, SocMachines,
    ::testing::Values(
        SocMachine{"raspberry-pi-5",
                   "1002000000.v3d Broadcom VideoCore VII | Broadcom | Integrated | Built-In | 7.86 GB | "
                   "DELL U2720Q 3840 x 2160 main | Raspberry Pi 5 Model B Rev 1.0",
                   "No exposed GPU sensors found N/A "},
        SocMachine{"raspberry-pi-3",
                   "soc:gpu Broadcom VideoCore IV | Broadcom | Integrated | Built-In | 923.2 MB | "
                   "D1918H 1366 x 768 main | Raspberry Pi 3 Model B Plus Rev 1.3",
                   "No exposed GPU sensors found N/A "},
        SocMachine{"rk3588-board",
                   "fb000000.gpu Arm Mali-G610 | Arm | Integrated | Built-In | 15.36 GB | "
                   "ROG PG279Q 2560 x 1440 main | Radxa ROCK 5 Model B",
                   "GPU Temperature 42.5 \u00B0C, Core Clock 300 MHz"},
        SocMachine{"snapdragon-x-laptop",
                   "3d00000.gpu Qualcomm Adreno X1-85 | Qualcomm | Integrated | Built-In | 30.71 GB | "
                   "eDP-1 1920 x 1080 main | Lenovo Yoga Slim 7x",
                   "GPU Temperature 48.6 \u00B0C, Core Clock 550 MHz"},
        SocMachine{"apple-m1",
                   "206400000.gpu Apple M1 GPU (G13G) | Apple | Integrated | Built-In | 15.37 GB | "
                   "eDP-1 2560 x 1600 main | Apple MacBook Air (M1, 2020)",
                   "No exposed GPU sensors found N/A "}),
    [](const auto& test) {
        std::string name = test.param.machine;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

} // namespace
} // namespace tarsik
