#include "collector/fake_smc.h"
#include "collector/gpu_info_collector.h"
#include "platform/registry/sysfs_registry_source.h"
#include "support/fake_nvml_control.h"
#include "support/fixture_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A source that counts how often it is asked.
class CountingRegistry final : public platform::RegistrySource {
  public:
    std::vector<platform::RegistryEntry> entries(std::optional<std::string_view>) const override {
        ++calls;
        return {};
    }
    mutable int calls = 0;
};

GPUDevice device(std::string name, std::string slot = "") {
    GPUDevice gpu{.name = std::move(name), .vram = "8 GB", .metalFamily = "Supported"};
    if (!slot.empty()) {
        gpu.raw["PCI Slot"] = std::move(slot);
    }
    return gpu;
}

std::vector<std::string> lines(const std::vector<SensorReading>& readings) {
    std::vector<std::string> out;
    for (const auto& r : readings) {
        out.push_back(r.name + ": " + r.value + " " + r.unit + " | " + r.note);
    }
    return out;
}

class SensorDiscoveryTest : public ::testing::Test {
  protected:
    GPUInfoCollector collectorFor(const testing::FixtureTree& tree) const {
        return GPUInfoCollector(platform::Services{
            .registry = std::make_shared<platform::SysfsRegistrySource>(
                platform::SystemPaths{.root = tree.root()}, testing::FakeNVML::path),
        });
    }

    testing::FakeNVML nvml;
};

TEST_F(SensorDiscoveryTest, OneCardGivesOneReadingPerKind) {
    const testing::FixtureTree tree("gaming-desktop");
    const auto gpu = device("AMD Radeon RX 6600 XT", "0000:03:00.0");
    const std::string stats = "IORegistry: AMDRadeonGPU.PerformanceStatistics.";
    EXPECT_THAT(lines(collectorFor(tree).sensorsSynchronously(&gpu)),
                ElementsAre("GPU Name: AMD Radeon RX 6600 XT  | ", "VRAM / Working Set: 8 GB  | ",
                            "Metal Support: Supported  | ", "Displays Connected: 0  | ",
                            "GPU Temperature: 48 \u00B0C | " + stats + "Temperature(C)",
                            "GPU Power: 45 W | " + stats + "Total Power(W)",
                            "Fan Speed: 0 RPM | " + stats + "Fan Speed(RPM)",
                            "Core Clock: 2589 MHz | " + stats + "Core Clock(MHz)",
                            "Memory Clock: 1000 MHz | " + stats + "Memory Clock(MHz)",
                            "GPU Load: 17 % | " + stats + "Device Utilization %",
                            // The driver's further readings follow, then the sleep state.
                            "Junction Temperature: 55 \u00B0C | hwmon/hwmon2/temp2_input",
                            "Memory Temperature: 62 \u00B0C | hwmon/hwmon2/temp3_input",
                            "Memory Used: 1 GB | mem_info_vram_used", "Fan Duty: 43.9 % | hwmon/hwmon2/pwm1",
                            "Power Limit: 160 W | hwmon/hwmon2/power1_cap",
                            "vddgfx: 1150 mV | hwmon/hwmon2/in0_input",
                            "Sleep State: Awake  | power/runtime_status: the GPU is active."));
}

// The machine-readable forms print the source's numbers, never the rounded text.
TEST_F(SensorDiscoveryTest, EveryMeasurementKeepsItsKindNumberAndSource) {
    const testing::FixtureTree tree("gaming-desktop");
    tree.write("sys/bus/pci/devices/0000:03:00.0/hwmon/hwmon2/power1_average", "45312000\n");
    const auto gpu = device("AMD Radeon RX 6600 XT", "0000:03:00.0");
    const auto readings = collectorFor(tree).sensorsSynchronously(&gpu);
    ASSERT_GT(readings.size(), 5u);
    EXPECT_EQ(readings[0].measurement, std::nullopt) << "a name is no measurement";
    EXPECT_EQ(readings[5].value, "45.3");
    EXPECT_EQ(readings[5].measurement,
              (Measurement{.kind = "power", .value = 45.312, .origin = "hwmon/hwmon2/power1_average"}));
    EXPECT_EQ(readings.back().measurement,
              (Measurement{.kind = "runtimeSuspended", .value = 0, .origin = "power/runtime_status"}));
}

// Nothing of a sleeping GPU is read: it shows its basic readings, that no sensor was found, and
// why.
TEST_F(SensorDiscoveryTest, ASleepingGPUSaysSoInsteadOfBeingRead) {
    const testing::FixtureTree tree("hybrid-laptop");
    const auto gpu = device("AMD Radeon RX 6650M", "0000:03:00.0");
    const auto readings = lines(collectorFor(tree).sensorsSynchronously(&gpu));
    EXPECT_THAT(
        std::vector(readings.begin() + 4, readings.end()),
        ElementsAre(::testing::StartsWith("No exposed GPU sensors found: N/A  | "),
                    "Sleep State: Asleep  | The GPU is runtime-suspended. Its sensors were not read, so "
                    "that it stays asleep; reading them would wake it."));
}

TEST_F(SensorDiscoveryTest, AGPUWithAKnownSlotReadsOnlyItsOwnSensors) {
    const testing::FixtureTree tree("workstation");
    nvml.addH100("00000000:01:00.0");
    const auto collector = collectorFor(tree);
    const auto h100 = device("NVIDIA H100 PCIe", "0000:01:00.0");
    const std::string stats = "IORegistry: NVIDIAGPU.PerformanceStatistics.";
    const auto readings = lines(collector.sensorsSynchronously(&h100));
    EXPECT_THAT(std::vector(readings.begin() + 4, readings.end()),
                ElementsAre("GPU Temperature: 34 \u00B0C | " + stats + "Temperature(C)",
                            "GPU Power: 70.3 W | " + stats + "Total Power(W)",
                            "Core Clock: 1980 MHz | " + stats + "Core Clock(MHz)",
                            "Memory Clock: 1593 MHz | " + stats + "Memory Clock(MHz)",
                            "GPU Load: 0 % | " + stats + "Device Utilization %",
                            "Memory Temperature: 37 \u00B0C | nvmlDeviceGetFieldValues",
                            "Memory Used: 4 MB | nvmlDeviceGetMemoryInfo",
                            "Power Limit: 700 W | nvmlDeviceGetEnforcedPowerLimit",
                            "Sleep State: Awake  | power/runtime_status: the GPU is active."))
        << "the AMD card's fan must not appear under the H100";

    // Without a slot every GPU's readings meet, and the first GPU in slot order wins each kind.
    const auto machineWide = lines(collector.readDynamicGPUSensors());
    ASSERT_EQ(machineWide.size(), 6u);
    EXPECT_EQ(machineWide[0], "GPU Temperature: 34 \u00B0C | " + stats + "Temperature(C)");
    EXPECT_EQ(machineWide[2],
              "Fan Speed: 0 RPM | IORegistry: AMDRadeonGPU.PerformanceStatistics.Fan Speed(RPM)");
}

// An Intel Mac's SMC beside a radeon card that publishes no power: the registry's statistics win
// the temperature, the SMC fills in the power.
TEST_F(SensorDiscoveryTest, SMCAndRegistryReadingsAreJoined) {
    const testing::FixtureTree tree("legacy-mix");
    const auto smc = std::make_shared<testing::FakeSMC>(std::vector<testing::FakeSMC::Key>{
        {"TG0D", "sp78", {0x37, 0x00}},
        {"PG0R", "sp78", {0x0C, 0x80}},
    });
    const GPUInfoCollector collector(platform::Services{
        .registry = std::make_shared<platform::SysfsRegistrySource>(
            platform::SystemPaths{.root = tree.root()}, testing::FakeNVML::path),
        .smc = smc,
    });
    const auto radeon = device("AMD Radeon HD 5770", "0000:05:00.0");
    const auto readings = lines(collector.sensorsSynchronously(&radeon));
    EXPECT_THAT(
        std::vector(readings.begin() + 4, readings.end()),
        ElementsAre(
            "GPU Temperature: 52.5 \u00B0C | IORegistry: AMDRadeonGPU.PerformanceStatistics.Temperature(C)",
            "GPU Power: 12.5 W | SMC key PG0R.",
            "Core Clock: 850 MHz | IORegistry: AMDRadeonGPU.PerformanceStatistics.Core Clock(MHz)",
            "Fan Duty: 31.4 % | hwmon/hwmon4/pwm1", "in0: 1200 mV | hwmon/hwmon4/in0_input",
            "Sleep State: Awake  | power/runtime_status: the GPU is active."));
}

TEST_F(SensorDiscoveryTest, NoGPURunsNoScan) {
    const auto registry = std::make_shared<CountingRegistry>();
    const GPUInfoCollector collector(platform::Services{.registry = registry});
    EXPECT_THAT(collector.sensorsSynchronously(nullptr), IsEmpty());
    EXPECT_EQ(registry->calls, 0);
    const auto gpu = device("Unknown GPU");
    EXPECT_EQ(collector.sensorsSynchronously(&gpu).size(), 5u);
    EXPECT_EQ(registry->calls, 1);
    EXPECT_THAT(GPUInfoCollector(platform::Services{}).readDynamicGPUSensors(), IsEmpty())
        << "no source at all";
}

} // namespace
} // namespace tarsik
