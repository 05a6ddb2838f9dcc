#include "platform/sysfs_registry_source.h"
#include "support/captured_diagnostics.h"
#include "support/fake_nvml_control.h"
#include "support/fixture_tree.h"

#include <chrono>
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

// Every entry as a header line and one line per statistic: "0000:03:00.0 AMDRadeonGPU",
// "  Temperature(C) = 48".
std::vector<std::string> describe(const std::vector<RegistryEntry>& entries) {
    std::vector<std::string> lines;
    for (const auto& entry : entries) {
        lines.push_back(entry.name + " " + entry.className);
        const auto* properties = entry.properties.dictionary();
        if (properties == nullptr || properties->size() != 1 ||
            properties->front().first != "PerformanceStatistics") {
            lines.push_back("  (not one PerformanceStatistics dictionary)");
            continue;
        }
        for (const auto& [key, value] : *properties->front().second.dictionary()) {
            char number[32];
            std::snprintf(number, sizeof number, "%.10g", value.number() ? *value.number() : -999.0);
            lines.push_back("  " + key + " = " + number);
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
    EXPECT_THAT(read(tree), ElementsAre("0000:03:00.0 AMDRadeonGPU",  //
                                        "  Temperature(C) = 48",      // edge, not junction or memory
                                        "  Total Power(W) = 45",      // power1_average, microwatts
                                        "  Fan Speed(RPM) = 0",       // zero-RPM mode although pwm1 is 112
                                        "  Core Clock(MHz) = 2589",   // freq1_input, hertz
                                        "  Memory Clock(MHz) = 1000", //
                                        "  Device Utilization % = 17",
                                        "  Junction Temperature(C) = 55", //
                                        "  Memory Temperature(C) = 62",
                                        "  vddgfx Voltage(mV) = 1150", //
                                        "  VRAM Used(B) = 1073741824",
                                        "0000:00:02.0 IntelGPU", //
                                        "  Core Clock(MHz) = 350"));
    EXPECT_EQ(nvml.state().initCalls, 0u) << "no NVIDIA GPU, no NVML";
}

TEST_F(SysfsRegistrySourceTest, OlderAmdNouveauAndRadeon) {
    const testing::FixtureTree tree("legacy-mix");
    EXPECT_THAT(read(tree), ElementsAre("0000:01:00.0 AMDRadeonGPU", //
                                        "  Temperature(C) = 61",     // unlabelled temp1
                                        "  Total Power(W) = 95",     // power1_input when there is no average
                                        "  Fan Speed(RPM) = 1250", "  Core Clock(MHz) = 1340",
                                        "  Memory Clock(MHz) = 2000", "  Device Utilization % = 99",
                                        "  in0 Voltage(mV) = 1050",
                                        "0000:02:00.0 NVIDIAGPU", // nouveau: no current sensors
                                        "  Temperature(C) = 39", "  GPU core Voltage(mV) = 900",
                                        "0000:05:00.0 AMDRadeonGPU", // radeon: no power, no fan speed
                                        "  Temperature(C) = 52.5", "  Core Clock(MHz) = 850",
                                        "  in0 Voltage(mV) = 1200"));

    // A board with current sensors: nouveau gives microwatts.
    tree.write("sys/bus/pci/devices/0000:02:00.0/hwmon/hwmon1/power1_input", "19375000\n");
    EXPECT_THAT(read(tree, "0000:02:00.0"), Contains("  Total Power(W) = 19.375"));
}

TEST_F(SysfsRegistrySourceTest, ApuWithoutFanBesideASleepingNvidiaGPU) {
    const testing::FixtureTree tree("amd-apu-laptop");
    EXPECT_THAT(read(tree),
                ElementsAre("0000:c4:00.0 AMDRadeonGPU", "  Temperature(C) = 52", "  Total Power(W) = 12",
                            "  Core Clock(MHz) = 800", "  Device Utilization % = 4",
                            "  vddgfx Voltage(mV) = 1000", "  vddnb Voltage(mV) = 1100"));
    EXPECT_EQ(nvml.state().initCalls, 0u) << "NVML would wake the sleeping GPU";
}

TEST_F(SysfsRegistrySourceTest, SleepingDiscreteAmdGPUIsLeftAlone) {
    const testing::FixtureTree tree("hybrid-laptop");
    testing::CapturedDiagnostics diagnostics;
    const auto sleeps = "GPU 0000:03:00.0 sleeps (runtime-suspended); its sensors are not read";
    EXPECT_THAT(read(tree), ElementsAre("0000:00:02.0 IntelGPU", "  Core Clock(MHz) = 0"));
    EXPECT_THAT(read(tree, "0000:03:00.0"), IsEmpty());
    EXPECT_THAT(diagnostics.take(), ElementsAre(sleeps, sleeps));

    // A power state that cannot be read is no sign of an awake GPU; without the file, it is one.
    tree.makeUnreadable("sys/bus/pci/devices/0000:03:00.0/power/runtime_status");
    EXPECT_THAT(read(tree, "0000:03:00.0"), IsEmpty());
    EXPECT_THAT(diagnostics.take(),
                ElementsAre(tree.path("sys/bus/pci/devices/0000:03:00.0/power/runtime_status").string() +
                                " could not be read: Is a directory",
                            sleeps));
    tree.remove("sys/bus/pci/devices/0000:03:00.0/power/runtime_status");
    EXPECT_THAT(read(tree, "0000:03:00.0"), Contains("  Temperature(C) = 40"));
}

TEST_F(SysfsRegistrySourceTest, IntelDiscreteCards) {
    const testing::FixtureTree tree("intel-arc-desktop");
    EXPECT_THAT(read(tree),
                ElementsAre("0000:03:00.0 IntelGPU", // i915: no temperature, no power
                            "  Fan Speed(RPM) = 1100", "  Core Clock(MHz) = 2400", "  in0 Voltage(mV) = 680",
                            "0000:07:00.0 IntelGPU", // xe: the package sensor
                            "  Temperature(C) = 47", "  Fan Speed(RPM) = 950", "  Core Clock(MHz) = 2850",
                            "  Memory Temperature(C) = 52", "  pkg Voltage(mV) = 890"));
}

TEST_F(SysfsRegistrySourceTest, NvidiaThroughNVMLMatchedBySlot) {
    const testing::FixtureTree tree("workstation");
    nvml.addH100("00000000:01:00.0");
    const auto all = read(tree);
    EXPECT_THAT(std::vector(all.begin(), all.begin() + 7),
                ElementsAre("0000:01:00.0 NVIDIAGPU", "  Temperature(C) = 34",
                            "  Total Power(W) = 70.25", // milliwatts; no fan on an H100
                            "  Core Clock(MHz) = 1980", "  Memory Clock(MHz) = 1593",
                            "  Device Utilization % = 0", "0000:03:00.0 AMDRadeonGPU"));
    EXPECT_STREQ(nvml.state().lookedUp, "0000:01:00.0;");
    EXPECT_EQ(nvml.state().initCalls, 1u);
    EXPECT_EQ(nvml.state().shutdownCalls, 1u);

    // Asking for the AMD card alone leaves NVML unloaded.
    EXPECT_EQ(read(tree, "0000:03:00.0").front(), "0000:03:00.0 AMDRadeonGPU");
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
    EXPECT_THAT(read(tree, nvidia),
                ElementsAre("0000:01:00.0 NVIDIAGPU", "  Temperature(C) = 34", "  Core Clock(MHz) = 1980"));
    EXPECT_THAT(diagnostics.take(), IsEmpty()) << "an unsupported field is no failure";

    // Initialisation fails: nothing, and nothing to shut down.
    nvml.state().initResult = 9; // driver not loaded
    EXPECT_THAT(read(tree, nvidia), IsEmpty());
    EXPECT_EQ(nvml.state().initCalls, 2u);
    EXPECT_EQ(nvml.state().shutdownCalls, 1u);
    EXPECT_THAT(diagnostics.take(), ElementsAre("NVML failed to initialise: error 9"));

    // No library at all; and a library that does not know the GPU.
    EXPECT_THAT(read(tree, nvidia, "/nonexistent/libnvidia-ml.so.1"), IsEmpty());
    EXPECT_THAT(diagnostics.take(), ElementsAre("NVML missing: /nonexistent/libnvidia-ml.so.1: cannot open "
                                                "shared object file: No such file or directory"));
    nvml.state().initResult = 0;
    nvml.state().gpuCount = 0;
    EXPECT_THAT(read(tree, nvidia), IsEmpty());
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
    EXPECT_THAT(others, Contains("0000:03:00.0 AMDRadeonGPU"));
    EXPECT_THAT(others, Not(Contains("0000:01:00.0 NVIDIAGPU")));
    EXPECT_THAT(describe(source.entries("0000:01:00.0")), IsEmpty());
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
                ElementsAre("0000:01:00.0 NVIDIAGPU", "  Temperature(C) = 34", "  Total Power(W) = 70.25",
                            "  Core Clock(MHz) = 1980", "  Memory Clock(MHz) = 1593",
                            "  Device Utilization % = 0"));
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
    EXPECT_THAT(read(tree, amd), ElementsAre("0000:03:00.0 AMDRadeonGPU",
                                             "  Total Power(W) = 52", // the instantaneous power stands in
                                             "  Junction Temperature(C) = -5", "  vddgfx Voltage(mV) = 1150",
                                             "  VRAM Used(B) = 1073741824"));

    // Each range keeps its bounds: a GPU at exactly 100 % load, a 20000 MHz memory clock.
    tree.remove(hwmon + "power1_average");
    tree.write(hwmon + "power1_average", "1000000000\n");
    tree.write(hwmon + "temp1_input", "130000\n");
    tree.write(hwmon + "fan1_input", "20000\n");
    tree.write(hwmon + "freq1_input", "0\n");
    tree.write(hwmon + "freq2_input", "20000000000\n");
    tree.write("sys/bus/pci/devices/0000:03:00.0/gpu_busy_percent", "100\n");
    EXPECT_THAT(read(tree, amd),
                ::testing::IsSupersetOf({"  Total Power(W) = 1000", "  Temperature(C) = 130",
                                         "  Fan Speed(RPM) = 20000", "  Core Clock(MHz) = 0",
                                         "  Memory Clock(MHz) = 20000", "  Device Utilization % = 100"}));
    tree.write(hwmon + "power1_average", "1000001000\n");
    tree.write(hwmon + "temp1_input", "130001\n");
    tree.write(hwmon + "fan1_input", "20001\n");
    tree.write(hwmon + "freq1_input", "-1\n");
    tree.write(hwmon + "freq2_input", "20000001000\n");
    EXPECT_THAT(read(tree, amd), ElementsAre("0000:03:00.0 AMDRadeonGPU", "  Device Utilization % = 100",
                                             "  Junction Temperature(C) = -5", "  vddgfx Voltage(mV) = 1150",
                                             "  VRAM Used(B) = 1073741824"));

    // Without its hwmon folder the card still tells its load.
    tree.remove("sys/bus/pci/devices/0000:03:00.0/hwmon");
    tree.write("sys/bus/pci/devices/0000:03:00.0/gpu_busy_percent", "12\n");
    EXPECT_THAT(read(tree, amd), ElementsAre("0000:03:00.0 AMDRadeonGPU", "  Device Utilization % = 12",
                                             "  VRAM Used(B) = 1073741824"));
}

TEST_F(SysfsRegistrySourceTest, MachinesWithoutSensors) {
    const testing::FixtureTree vm("virtual-machine");
    EXPECT_THAT(read(vm), IsEmpty());
    const testing::FixtureTree empty("");
    EXPECT_THAT(read(empty), IsEmpty());
}

} // namespace
} // namespace tarsik::platform
