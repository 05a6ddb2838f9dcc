#include "platform/registry/sysfs_registry_source.h"
#include "support/captured_diagnostics.h"
#include "support/fake_nvml_control.h"
#include "support/fixture_tree.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

namespace tarsik::platform {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

// Whole numbers (byte counts) in full, the rest to ten digits.
std::string numberText(double value) {
    char number[32];
    std::snprintf(number, sizeof number,
                  value == std::floor(value) && std::abs(value) < 1e15 ? "%.0f" : "%.10g", value);
    return number;
}

// Every entry as a header line with its sleep state, one line per statistic with where it came
// from, then one per further reading: "0000:03:00.0 AMDRadeonGPU awake",
// "  Temperature(C) = 48 <- hwmon/hwmon0/temp1_input", "  + vddgfx voltage = 1.15 <- ...".
std::vector<std::string> describe(const std::vector<RegistryEntry>& entries) {
    std::vector<std::string> lines;
    for (const auto& entry : entries) {
        const auto* sleep = !entry.runtimeSuspended   ? " (sleep unknown)"
                            : *entry.runtimeSuspended ? " asleep"
                                                      : " awake";
        lines.push_back(entry.name + " " + entry.className + sleep);
        if (const auto* properties = entry.properties.dictionary()) {
            if (properties->size() != 1 || properties->front().first != "PerformanceStatistics") {
                lines.push_back("  (not one PerformanceStatistics dictionary)");
                continue;
            }
            for (const auto& [key, value] : *properties->front().second.dictionary()) {
                const auto origin = entry.origins.find("PerformanceStatistics." + key);
                lines.push_back("  " + key + " = " + numberText(value.number() ? *value.number() : -999.0) +
                                " <- " + (origin != entry.origins.end() ? origin->second : "?"));
            }
        }
        for (const auto& more : entry.moreReadings) {
            lines.push_back("  + " + (more.name.empty() ? "" : more.name + " ") + more.kind + " = " +
                            numberText(more.value) + " <- " + more.origin);
        }
    }
    return lines;
}

class SysfsRegistrySourceTest : public ::testing::Test {
  protected:
    std::vector<std::string> read(const testing::FixtureTree& tree,
                                  std::optional<std::string_view> name = std::nullopt,
                                  const std::string& nvmlLibrary = testing::FakeNVML::path) {
        return describe(SysfsRegistrySource(SystemPaths{.root = tree.root()}, nvmlLibrary).entries(name));
    }

    testing::FakeNVML nvml;
};

TEST_F(SysfsRegistrySourceTest, CurrentAmdCardAndIntegratedIntel) {
    const testing::FixtureTree tree("gaming-desktop");
    EXPECT_THAT(read(tree),
                ElementsAre("0000:03:00.0 AMDRadeonGPU awake",
                            // edge, not junction or memory
                            "  Temperature(C) = 48 <- hwmon/hwmon2/temp1_input",
                            // the average, in microwatts, though the instantaneous power is there too
                            "  Total Power(W) = 45 <- hwmon/hwmon2/power1_average",
                            "  Fan Speed(RPM) = 0 <- hwmon/hwmon2/fan1_input",      // zero-RPM mode ...
                            "  Core Clock(MHz) = 2589 <- hwmon/hwmon2/freq1_input", // hertz
                            "  Memory Clock(MHz) = 1000 <- hwmon/hwmon2/freq2_input",
                            "  Device Utilization % = 17 <- gpu_busy_percent",
                            "  + junctionTemperature = 55 <- hwmon/hwmon2/temp2_input",
                            "  + memoryTemperature = 62 <- hwmon/hwmon2/temp3_input",
                            "  + fanDuty = 43.92156863 <- hwmon/hwmon2/pwm1", // ... while pwm1 is 112 of 255
                            "  + powerLimit = 160 <- hwmon/hwmon2/power1_cap",
                            "  + vddgfx voltage = 1.15 <- hwmon/hwmon2/in0_input", // millivolts
                            "  + memoryUsed = 1073741824 <- mem_info_vram_used",
                            "0000:00:02.0 IntelGPU awake",
                            "  Core Clock(MHz) = 350 <- drm/card1/gt_act_freq_mhz"));
    EXPECT_EQ(nvml.state().initCalls, 0u) << "no NVIDIA GPU, no NVML";
}

// One GPU by its slot is read from its own folder alone: a name made of dots and slashes reaches
// no folder.
TEST_F(SysfsRegistrySourceTest, ByNameReadsOnlyThatSlotsFolder) {
    const testing::FixtureTree tree("gaming-desktop");
    EXPECT_THAT(
        read(tree, "0000:00:02.0"),
        ElementsAre("0000:00:02.0 IntelGPU awake", "  Core Clock(MHz) = 350 <- drm/card1/gt_act_freq_mhz"));
    for (const char* name :
         {"", ".", "..", "../devices/0000:00:02.0", "0000:00:02.0/", "0000:00:00.0", "none"}) {
        EXPECT_THAT(read(tree, name), IsEmpty()) << name;
    }
}

TEST_F(SysfsRegistrySourceTest, OlderAmdNouveauAndRadeon) {
    const testing::FixtureTree tree("legacy-mix");
    EXPECT_THAT(read(tree), ElementsAre("0000:01:00.0 AMDRadeonGPU awake",
                                        "  Temperature(C) = 61 <- hwmon/hwmon0/temp1_input", // unlabelled
                                        // power1_input when there is no average
                                        "  Total Power(W) = 95 <- hwmon/hwmon0/power1_input",
                                        "  Fan Speed(RPM) = 1250 <- hwmon/hwmon0/fan1_input",
                                        "  Core Clock(MHz) = 1340 <- hwmon/hwmon0/freq1_input",
                                        "  Memory Clock(MHz) = 2000 <- hwmon/hwmon0/freq2_input",
                                        "  Device Utilization % = 99 <- gpu_busy_percent",
                                        "  + fanDuty = 37.64705882 <- hwmon/hwmon0/pwm1", // 96 of 255
                                        "  + in0 voltage = 1.05 <- hwmon/hwmon0/in0_input",
                                        "0000:02:00.0 NVIDIAGPU awake", // nouveau: no current sensors
                                        "  Temperature(C) = 39 <- hwmon/hwmon1/temp1_input",
                                        "  + fanDuty = 40 <- hwmon/hwmon1/pwm1", // nouveau counts percent
                                        "  + GPU core voltage = 0.9 <- hwmon/hwmon1/in0_input",
                                        "0000:05:00.0 AMDRadeonGPU awake", // radeon: no power, no fan speed
                                        "  Temperature(C) = 52.5 <- hwmon/hwmon4/temp1_input",
                                        "  Core Clock(MHz) = 850 <- hwmon/hwmon4/freq1_input",
                                        "  + fanDuty = 31.37254902 <- hwmon/hwmon4/pwm1",
                                        "  + in0 voltage = 1.2 <- hwmon/hwmon4/in0_input"));

    // A board with current sensors: nouveau gives microwatts.
    tree.write("sys/bus/pci/devices/0000:02:00.0/hwmon/hwmon1/power1_input", "19375000\n");
    EXPECT_THAT(read(tree, "0000:02:00.0"),
                Contains("  Total Power(W) = 19.375 <- hwmon/hwmon1/power1_input"));
    // A fan under no control at all runs at full speed whatever pwm1 says.
    tree.write("sys/bus/pci/devices/0000:02:00.0/hwmon/hwmon1/pwm1_enable", "0\n");
    EXPECT_THAT(read(tree, "0000:02:00.0"), Not(Contains(StartsWith("  + fanDuty"))));
}

TEST_F(SysfsRegistrySourceTest, ApuWithoutFanBesideASleepingNvidiaGPU) {
    const testing::FixtureTree tree("amd-apu-laptop");
    // An APU's power is its whole package's, CPU cores included: never the GPU's power.
    EXPECT_THAT(read(tree), ElementsAre("0000:c4:00.0 AMDRadeonGPU awake",
                                        "  Temperature(C) = 52 <- hwmon/hwmon5/temp1_input",
                                        "  Core Clock(MHz) = 800 <- hwmon/hwmon5/freq1_input",
                                        "  Device Utilization % = 4 <- gpu_busy_percent",
                                        "  + packagePower = 12 <- hwmon/hwmon5/power1_input",
                                        "  + vddgfx voltage = 1 <- hwmon/hwmon5/in0_input",
                                        "  + vddnb voltage = 1.1 <- hwmon/hwmon5/in1_input",
                                        // a 512 MiB carve-out; the GPU's real pool is GTT
                                        "  + memoryUsed = 226947072 <- mem_info_vram_used",
                                        "  + gttUsed = 1346375680 <- mem_info_gtt_used",
                                        "  + gttTotal = 16406794240 <- mem_info_gtt_total",
                                        "0000:0a:00.0 NVIDIAGPU asleep"));
    EXPECT_EQ(nvml.state().initCalls, 0u) << "NVML would wake the sleeping GPU";
}

TEST_F(SysfsRegistrySourceTest, SleepingDiscreteAmdGPUIsLeftAlone) {
    const testing::FixtureTree tree("hybrid-laptop");
    testing::CapturedDiagnostics diagnostics;
    const auto sleeps = "GPU 0000:03:00.0 sleeps (runtime-suspended); its sensors are not read";
    EXPECT_THAT(read(tree), ElementsAre("0000:00:02.0 IntelGPU awake",
                                        "  Core Clock(MHz) = 0 <- drm/card0/gt_act_freq_mhz",
                                        "0000:03:00.0 AMDRadeonGPU asleep"));
    EXPECT_THAT(read(tree, "0000:03:00.0"), ElementsAre("0000:03:00.0 AMDRadeonGPU asleep"));
    EXPECT_THAT(diagnostics.take(), ElementsAre(sleeps, sleeps));

    // A power state that cannot be read is no sign of an awake GPU; without the file, it is one.
    tree.makeUnreadable("sys/bus/pci/devices/0000:03:00.0/power/runtime_status");
    EXPECT_THAT(read(tree, "0000:03:00.0"), ElementsAre("0000:03:00.0 AMDRadeonGPU asleep"));
    EXPECT_THAT(diagnostics.take(),
                ElementsAre(tree.path("sys/bus/pci/devices/0000:03:00.0/power/runtime_status").string() +
                                " could not be read: Is a directory",
                            sleeps));
    tree.remove("sys/bus/pci/devices/0000:03:00.0/power/runtime_status");
    EXPECT_THAT(read(tree, "0000:03:00.0"), Contains("0000:03:00.0 AMDRadeonGPU awake"));
}

TEST_F(SysfsRegistrySourceTest, IntelDiscreteCards) {
    const testing::FixtureTree tree("intel-arc-desktop");
    EXPECT_THAT(read(tree),
                ElementsAre("0000:03:00.0 IntelGPU awake", // i915: no temperature, no power
                            "  Fan Speed(RPM) = 1100 <- hwmon/hwmon3/fan1_input",
                            "  Core Clock(MHz) = 2400 <- drm/card0/gt_act_freq_mhz",
                            "  + powerLimit = 190 <- hwmon/hwmon3/power1_max",
                            "  + in0 voltage = 0.68 <- hwmon/hwmon3/in0_input",
                            "0000:07:00.0 IntelGPU awake", // xe: the package sensor
                            "  Temperature(C) = 47 <- hwmon/hwmon5/temp2_input",
                            "  Fan Speed(RPM) = 950 <- hwmon/hwmon5/fan1_input",
                            "  Core Clock(MHz) = 2850 <- tile0/gt0/freq0/act_freq",
                            "  + memoryTemperature = 52 <- hwmon/hwmon5/temp3_input",
                            "  + pkg voltage = 0.89 <- hwmon/hwmon5/in1_input"));
    // i915's 0 W is "no limit set", not a limit.
    tree.write("sys/bus/pci/devices/0000:03:00.0/hwmon/hwmon3/power1_max", "0\n");
    EXPECT_THAT(read(tree, "0000:03:00.0"), Not(Contains(StartsWith("  + powerLimit"))));
}

TEST_F(SysfsRegistrySourceTest, NvidiaThroughNVMLMatchedBySlot) {
    const testing::FixtureTree tree("workstation");
    nvml.addH100("00000000:01:00.0");
    const auto all = read(tree);
    EXPECT_THAT(std::vector(all.begin(), all.begin() + 12),
                ElementsAre("0000:00:02.0 IntelGPU awake", "0000:01:00.0 NVIDIAGPU awake",
                            "  Temperature(C) = 34 <- nvmlDeviceGetTemperature",
                            "  Total Power(W) = 70.25 <- nvmlDeviceGetPowerUsage", // milliwatts; no fan
                            "  Core Clock(MHz) = 1980 <- nvmlDeviceGetClockInfo",
                            "  Memory Clock(MHz) = 1593 <- nvmlDeviceGetClockInfo",
                            "  Device Utilization % = 0 <- nvmlDeviceGetUtilizationRates",
                            "  + memoryTemperature = 37 <- nvmlDeviceGetFieldValues", // the HBM's
                            "  + memoryUsed = 4194304 <- nvmlDeviceGetMemoryInfo",
                            "  + powerLimit = 700 <- nvmlDeviceGetEnforcedPowerLimit", // milliwatts
                            "0000:03:00.0 AMDRadeonGPU awake",
                            "  Temperature(C) = 45 <- hwmon/hwmon3/temp1_input"));
    EXPECT_STREQ(nvml.state().lookedUp, "0000:01:00.0;");
    EXPECT_EQ(nvml.state().initCalls, 1u);
    EXPECT_EQ(nvml.state().shutdownCalls, 1u);

    // Asking for the AMD card alone leaves NVML unloaded.
    EXPECT_EQ(read(tree, "0000:03:00.0").front(), "0000:03:00.0 AMDRadeonGPU awake");
    EXPECT_EQ(nvml.state().initCalls, 1u);
}

TEST_F(SysfsRegistrySourceTest, NVMLFailuresGiveNothingAndSayWhy) {
    const testing::FixtureTree tree("workstation");
    const std::string nvidia = "0000:01:00.0";
    testing::CapturedDiagnostics diagnostics;

    // Unsupported fields are left out, the rest stays.
    auto& gpu = nvml.addH100("00000000:01:00.0");
    gpu.powerResult = 3;
    gpu.memoryClockResult = 3;
    gpu.utilizationResult = 15; // GPU is lost
    gpu.memoryTemperatureResult = 3;
    gpu.powerLimitResult = 3;
    // A fan that reports no speed, only its duty, as GeForce cards on older drivers do.
    gpu.fanPercentResult = 0;
    gpu.fanPercent = 36;
    EXPECT_THAT(read(tree, nvidia), ElementsAre("0000:01:00.0 NVIDIAGPU awake",
                                                "  Temperature(C) = 34 <- nvmlDeviceGetTemperature",
                                                "  Core Clock(MHz) = 1980 <- nvmlDeviceGetClockInfo",
                                                "  + memoryUsed = 4194304 <- nvmlDeviceGetMemoryInfo",
                                                "  + fanDuty = 36 <- nvmlDeviceGetFanSpeed"));
    EXPECT_THAT(diagnostics.take(), IsEmpty()) << "an unsupported field is no failure";

    // Initialisation fails: nothing, and nothing to shut down.
    nvml.state().initResult = 9; // driver not loaded
    EXPECT_THAT(read(tree, nvidia), ElementsAre("0000:01:00.0 NVIDIAGPU awake"));
    EXPECT_EQ(nvml.state().initCalls, 2u);
    EXPECT_EQ(nvml.state().shutdownCalls, 1u);
    EXPECT_THAT(diagnostics.take(), ElementsAre("NVML failed to initialise: error 9"));

    // No library at all; and a library that does not know the GPU.
    EXPECT_THAT(read(tree, nvidia, "/nonexistent/libnvidia-ml.so.1"),
                ElementsAre("0000:01:00.0 NVIDIAGPU awake"));
    EXPECT_THAT(diagnostics.take(), ElementsAre("NVML missing: /nonexistent/libnvidia-ml.so.1: cannot open "
                                                "shared object file: No such file or directory"));
    nvml.state().initResult = 0;
    nvml.state().gpuCount = 0;
    EXPECT_THAT(read(tree, nvidia), ElementsAre("0000:01:00.0 NVIDIAGPU awake"));
    EXPECT_THAT(diagnostics.take(),
                ElementsAre(StartsWith("NVML failed to find the GPU in 0000:01:00.0: error ")));
}

// A wedged driver: initialisation never returns. Discovery gives up at the deadline, reads the
// other GPUs, and asks NVML nothing more until that initialisation has come back.
TEST_F(SysfsRegistrySourceTest, NVMLHangingInInitIsGivenUpAtTheDeadline) {
    using namespace std::chrono_literals;
    const testing::FixtureTree tree("workstation");
    nvml.addH100("00000000:01:00.0");
    __atomic_store_n(&nvml.state().initBlocked, 1, __ATOMIC_SEQ_CST);
    const SysfsRegistrySource source(SystemPaths{.root = tree.root()}, testing::FakeNVML::path, 50ms);
    testing::CapturedDiagnostics diagnostics;

    const auto started = std::chrono::steady_clock::now();
    const auto others = describe(source.entries(std::nullopt));
    EXPECT_THAT(others, Contains("0000:03:00.0 AMDRadeonGPU awake"));
    EXPECT_THAT(others, Not(Contains(StartsWith("  Temperature(C) = 34"))));
    EXPECT_THAT(describe(source.entries("0000:01:00.0")), ElementsAre("0000:01:00.0 NVIDIAGPU awake"));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    EXPECT_EQ(__atomic_load_n(&nvml.state().initCalls, __ATOMIC_SEQ_CST), 1u) << "no second thread behind it";
    EXPECT_THAT(diagnostics.take(),
                ElementsAre("NVML did not initialise within its 50 ms deadline",
                            "NVML not tried: an earlier initialisation is still running past its deadline"));

    // The driver comes back: the late session is shut down, and the next discovery uses NVML.
    __atomic_store_n(&nvml.state().initBlocked, 0, __ATOMIC_SEQ_CST);
    while (__atomic_load_n(&nvml.state().shutdownCalls, __ATOMIC_SEQ_CST) == 0) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_THAT(describe(source.entries("0000:01:00.0")),
                Contains("  Temperature(C) = 34 <- nvmlDeviceGetTemperature"));
}

TEST_F(SysfsRegistrySourceTest, UnreadableAndOddValuesAreLeftOut) {
    const testing::FixtureTree tree("gaming-desktop");
    const std::string amd = "0000:03:00.0";
    const std::string hwmon = "sys/bus/pci/devices/0000:03:00.0/hwmon/hwmon2/";
    tree.makeUnreadable(hwmon + "power1_average");
    tree.write(hwmon + "temp1_input", "150000\n"); // a fault, not 1.5 degrees
    tree.write(hwmon + "fan1_input", "N/A\n");
    tree.write(hwmon + "freq1_input", "99999999999999999999\n"); // beyond 64 bits
    tree.write(hwmon + "freq2_input", std::string(10000, '7'));
    tree.write(hwmon + "temp2_input", "-5000\n");
    tree.remove(hwmon + "temp3_input"); // a label without its input
    tree.write("sys/bus/pci/devices/0000:03:00.0/gpu_busy_percent", "101\n");
    tree.write(hwmon + "pwm1", "256\n"); // beyond a duty cycle
    EXPECT_THAT(read(tree, amd), ElementsAre("0000:03:00.0 AMDRadeonGPU awake",
                                             // the instantaneous power stands in
                                             "  Total Power(W) = 52 <- hwmon/hwmon2/power1_input",
                                             "  + junctionTemperature = -5 <- hwmon/hwmon2/temp2_input",
                                             "  + powerLimit = 160 <- hwmon/hwmon2/power1_cap",
                                             "  + vddgfx voltage = 1.15 <- hwmon/hwmon2/in0_input",
                                             "  + memoryUsed = 1073741824 <- mem_info_vram_used"));

    // Each range keeps its bounds: a GPU at exactly 100 % load, a 20000 MHz memory clock.
    tree.remove(hwmon + "power1_average");
    tree.write(hwmon + "power1_average", "1000000000\n");
    tree.write(hwmon + "temp1_input", "130000\n");
    tree.write(hwmon + "fan1_input", "20000\n");
    tree.write(hwmon + "freq1_input", "0\n");
    tree.write(hwmon + "freq2_input", "20000000000\n");
    tree.write("sys/bus/pci/devices/0000:03:00.0/gpu_busy_percent", "100\n");
    tree.write(hwmon + "pwm1", "255\n");
    tree.write(hwmon + "temp2_input", "150000\n");
    tree.write(hwmon + "power1_cap", "2000000000\n");
    EXPECT_THAT(read(tree, amd),
                ::testing::IsSupersetOf(
                    {StartsWith("  Total Power(W) = 1000 "), StartsWith("  Temperature(C) = 130 "),
                     StartsWith("  Fan Speed(RPM) = 20000 "), StartsWith("  Core Clock(MHz) = 0 "),
                     StartsWith("  Memory Clock(MHz) = 20000 "), StartsWith("  Device Utilization % = 100 "),
                     StartsWith("  + fanDuty = 100 "), StartsWith("  + junctionTemperature = 150 "),
                     StartsWith("  + powerLimit = 2000 ")}));
    tree.write(hwmon + "power1_average", "1000001000\n");
    tree.write(hwmon + "temp1_input", "130001\n");
    tree.write(hwmon + "fan1_input", "20001\n");
    tree.write(hwmon + "freq1_input", "-1\n");
    tree.write(hwmon + "freq2_input", "20000001000\n");
    tree.write(hwmon + "temp2_input", "150001\n");
    tree.write(hwmon + "power1_cap", "2000001000\n");
    EXPECT_THAT(read(tree, amd), ElementsAre("0000:03:00.0 AMDRadeonGPU awake",
                                             "  Device Utilization % = 100 <- gpu_busy_percent",
                                             "  + fanDuty = 100 <- hwmon/hwmon2/pwm1",
                                             "  + vddgfx voltage = 1.15 <- hwmon/hwmon2/in0_input",
                                             "  + memoryUsed = 1073741824 <- mem_info_vram_used"));

    // Without its hwmon folder the card still tells its load.
    tree.remove("sys/bus/pci/devices/0000:03:00.0/hwmon");
    tree.write("sys/bus/pci/devices/0000:03:00.0/gpu_busy_percent", "12\n");
    EXPECT_THAT(read(tree, amd), ElementsAre("0000:03:00.0 AMDRadeonGPU awake",
                                             "  Device Utilization % = 12 <- gpu_busy_percent",
                                             "  + memoryUsed = 1073741824 <- mem_info_vram_used"));
}

TEST_F(SysfsRegistrySourceTest, MachinesWithoutSensors) {
    const testing::FixtureTree vm("virtual-machine");
    EXPECT_THAT(read(vm), ElementsAre("0000:00:01.0  awake", "0000:00:02.0  awake"));
    const testing::FixtureTree empty("");
    EXPECT_THAT(read(empty), IsEmpty());
}

} // namespace
} // namespace tarsik::platform
