// Every source that reads the system, with a fault at each of its file opens in turn: a read
// error, or the GPU unplugged just then. Each must end in a poorer result, never a richer or
// garbled one, and never a crash.
#include "collector/fake_process_runner.h"
#include "collector/gpu_info_collector.h"
#include "faults/file_faults.h"
#include "platform/applesmc/applesmc_service.h"
#include "platform/pci/sysfs_gpu_device_list.h"
#include "platform/registry/sysfs_registry_source.h"
#include "profiler/display_profile.h"
#include "support/captured_diagnostics.h"
#include "support/fake_nvml_control.h"
#include "support/fixture_tree.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <iostream>
#include <nlohmann/json.hpp>
#include <set>

namespace tarsik {
namespace {

using testing::FileFault;
using testing::FileFaults;
using testing::FixtureTree;

// What every source made of one machine.
struct Outcome {
    std::vector<std::string> listed;   // the fast device list's names
    std::set<std::string> statistics;  // "slot key = value" from the registry source
    std::vector<std::string> profiled; // the profiler's GPUs as the collector reads them back
    std::set<std::string> displays;    // "gpu: display resolution"
    std::set<std::string> smc;         // the SMC scan's readings

    friend bool operator==(const Outcome&, const Outcome&) = default;
};

// Further readings count by kind: a voltage whose label cannot be read is named by its channel
// ("in0"). The sleep state is no reading: one that cannot be read says asleep.
std::set<std::string> statisticsOf(const std::vector<platform::RegistryEntry>& entries) {
    std::set<std::string> lines;
    for (const auto& entry : entries) {
        for (const auto& more : entry.moreReadings) {
            lines.insert(entry.name + " " + more.kind + " = " + std::to_string(more.value));
        }
        const auto* properties = entry.properties.dictionary();
        if (properties == nullptr) {
            continue;
        }
        for (const auto& [key, value] : *properties->front().second.dictionary()) {
            // An average power that cannot be read gives way to the instantaneous one.
            if (key == "Total Power(W)") {
                lines.insert(entry.name + " " + key);
                continue;
            }
            lines.insert(entry.name + " " + key + " = " + std::to_string(*value.number()));
        }
    }
    return lines;
}

Outcome readEverything(const FixtureTree& tree) {
    const platform::SystemPaths paths{.root = tree.root()};
    // No wait between an SoC GPU's two load samples: a fixture's counters do not move.
    const auto registry = std::make_shared<platform::SysfsRegistrySource>(
        paths, testing::FakeNVML::path, platform::NVMLSession::defaultInitDeadline,
        std::chrono::milliseconds(0));
    Outcome outcome;
    for (const auto& device : platform::SysfsGPUDeviceList(paths).devices()) {
        outcome.listed.push_back(device.name);
    }
    outcome.statistics = statisticsOf(registry->entries(std::nullopt));

    const auto profile = profiler::displayProfile(paths);
    EXPECT_TRUE(nlohmann::json::accept(profile)) << "the profiler printed broken JSON";
    const GPUInfoCollector collector(platform::Services{
        .gpuDevices = std::make_shared<platform::SysfsGPUDeviceList>(paths),
        .processRunner = std::make_shared<testing::FakeProcessRunner>(profile),
        .registry = registry,
        .smc = std::make_shared<platform::AppleSMCService>(paths),
    });
    for (const auto& gpu : collector.parseSystemProfiler()) {
        outcome.profiled.push_back(gpu.name);
        for (const auto& display : gpu.displays) {
            outcome.displays.insert(gpu.name + ": " + display.name + " " + display.resolution);
        }
    }
    const auto devices = collector.collectSynchronously();
    EXPECT_FALSE(devices.empty()) << "never empty: the placeholder at least";
    EXPECT_FALSE(collector.sensorsSynchronously(&devices.front()).empty());
    for (const auto& reading : collector.readSMCGPUSensors()) {
        outcome.smc.insert(reading.name + " = " + reading.value);
    }
    return outcome;
}

bool isSubset(const std::set<std::string>& part, const std::set<std::string>& whole) {
    return std::includes(whole.begin(), whole.end(), part.begin(), part.end());
}

// Poorer: nothing that was not there without the fault (a name may fall back to a plainer one).
void expectPoorer(const Outcome& faulted, const Outcome& clean, const std::string& context) {
    EXPECT_LE(faulted.listed.size(), clean.listed.size()) << context;
    EXPECT_LE(faulted.profiled.size(), clean.profiled.size()) << context;
    EXPECT_TRUE(isSubset(faulted.statistics, clean.statistics)) << context;
    EXPECT_LE(faulted.displays.size(), clean.displays.size()) << context;
    EXPECT_TRUE(isSubset(faulted.smc, clean.smc)) << context;
    for (const auto& name : faulted.listed) {
        EXPECT_FALSE(name.empty()) << context;
    }
}

class SysfsFaults : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override { nvml.addH100("00000000:01:00.0"); }
    testing::FakeNVML nvml;
};

// Whatever a fault took away, a diagnostics line names the file.
void expectNamed(const std::vector<std::string>& lines, const std::string& path, const std::string& context) {
    EXPECT_TRUE(
        std::any_of(lines.begin(), lines.end(),
                    [&path](const std::string& line) { return line.find(path) != std::string::npos; }))
        << context << ": nothing names " << path;
}

TEST_P(SysfsFaults, AnyFileOpenOrReadFailingGivesAPoorerResultAndSaysWhy) {
    const FixtureTree tree(GetParam());
    testing::CapturedDiagnostics diagnostics;
    const auto clean = readEverything(tree);
    for (const auto fault : {FileFault::openFails, FileFault::readFails}) {
        int runs = 0;
        for (int at = 0;; ++at, ++runs) {
            Outcome faulted;
            std::string struck;
            diagnostics.take();
            {
                const FileFaults faults(tree.root(), fault, at);
                faulted = readEverything(tree);
                if (!faults.struck()) {
                    break;
                }
                struck = faults.struckPath();
            }
            const auto context = std::string(GetParam()) + ", fault at open " + std::to_string(at);
            expectPoorer(faulted, clean, context);
            if (faulted != clean) {
                expectNamed(diagnostics.take(), struck, context);
            }
        }
        std::cout << GetParam() << (fault == FileFault::openFails ? ": open" : ": read")
                  << " fault at each of " << runs << " opens\n";
    }
}

INSTANTIATE_TEST_SUITE_P(Machines, SysfsFaults,
                         ::testing::Values("workstation", "gaming-desktop", "hybrid-laptop", "amd-apu-laptop",
                                           "intel-arc-desktop", "legacy-mix", "intel-imac", "raspberry-pi-5",
                                           "raspberry-pi-3", "rk3588-board", "snapdragon-x-laptop",
                                           "apple-m1"));

// A sleeping GPU's sensor files are never opened, in a whole discovery of every GPU or of it
// alone: on older kernels any of them would wake it. Only its sleep state is known.
TEST(SleepingGPU, NoneOfItsSensorFilesIsOpened) {
    const FixtureTree tree("hybrid-laptop");
    const std::string device = "sys/bus/pci/devices/0000:03:00.0/";
    const platform::SysfsRegistrySource registry(platform::SystemPaths{.root = tree.root()},
                                                 testing::FakeNVML::path);
    for (const char* watched : {"hwmon", "gpu_busy_percent", "mem_info_vram_used"}) {
        const FileFaults faults(tree.path(device + watched), FileFault::openFails, 1000);
        const auto entries = registry.entries(std::nullopt);
        const auto alone = registry.entries("0000:03:00.0");
        EXPECT_EQ(faults.opens(), 0) << watched;
        ASSERT_EQ(alone.size(), 1u);
        EXPECT_EQ(alone[0].runtimeSuspended, true);
        EXPECT_TRUE(alone[0].moreReadings.empty());
    }
}

// The GPU's sysfs folder disappears at each of its opens in turn. The other GPUs read as before;
// the unplugged one reads as before, less, or not at all.
struct Unplugged {
    const char* machine;
    const char* slot;
    const char* folder = nullptr; // a PCI GPU's folder when not given
};

class UnpluggedGPU : public ::testing::TestWithParam<Unplugged> {
  protected:
    void SetUp() override { nvml.addH100("00000000:01:00.0"); }
    testing::FakeNVML nvml;
};

std::set<std::string> without(const std::set<std::string>& lines, const std::string& slot) {
    std::set<std::string> kept;
    std::copy_if(lines.begin(), lines.end(), std::inserter(kept, kept.end()),
                 [&slot](const std::string& line) { return !line.starts_with(slot); });
    return kept;
}

TEST_P(UnpluggedGPU, VanishingMidScanLeavesTheOtherGPUsAlone) {
    const auto [machine, slot, device] = GetParam();
    const std::string folder = device != nullptr ? device : std::string("sys/bus/pci/devices/") + slot;
    const FixtureTree tree(machine);
    const auto clean = readEverything(tree);
    int runs = 0;
    for (int at = 0;; ++at, ++runs) {
        Outcome faulted;
        {
            const FileFaults faults(tree.path(folder), FileFault::folderVanishes, at);
            faulted = readEverything(tree);
            if (!faults.struck()) {
                break;
            }
        }
        const auto context = std::string(machine) + " " + slot + " gone at open " + std::to_string(at);
        expectPoorer(faulted, clean, context);
        EXPECT_EQ(without(faulted.statistics, slot), without(clean.statistics, slot)) << context;
        EXPECT_GE(faulted.listed.size() + 1, clean.listed.size()) << context;
        std::filesystem::copy(
            std::filesystem::path(TARSIK_FIXTURES_DIR) / "sysfs" / machine / folder, tree.path(folder),
            std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
    }
    std::cout << machine << " " << slot << ": unplugged at each of " << runs << " opens\n";
}

INSTANTIATE_TEST_SUITE_P(
    Machines, UnpluggedGPU,
    ::testing::Values(Unplugged{"workstation", "0000:03:00.0"}, Unplugged{"workstation", "0000:01:00.0"},
                      Unplugged{"gaming-desktop", "0000:03:00.0"},
                      Unplugged{"intel-arc-desktop", "0000:07:00.0"},
                      Unplugged{"hybrid-laptop", "0000:00:02.0"},
                      Unplugged{"rk3588-board", "fb000000.gpu", "sys/devices/platform/fb000000.gpu"}));

} // namespace
} // namespace tarsik
