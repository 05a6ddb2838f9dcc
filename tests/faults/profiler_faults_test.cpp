// The full inventory with the real process runner and a profiler that dies or never stops
// writing: the result is the fast device list, in time.
#include "collector/gpu_info_collector.h"
#include "platform/pci/sysfs_gpu_device_list.h"
#include "support/fixture_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

using namespace std::chrono_literals;

std::vector<std::string> names(const std::vector<GPUDevice>& devices) {
    std::vector<std::string> found;
    for (const auto& device : devices) {
        found.push_back(device.name);
    }
    return found;
}

TEST(ProfilerFaults, AProfilerKilledOrFloodingLeavesTheFastList) {
    const testing::FixtureTree tree("gaming-desktop");
    const platform::SystemPaths paths{.root = tree.root()};
    const auto runner = std::make_shared<platform::PosixProcessRunner>(2s, 1 << 20);
    const auto collectorWith = [&](const std::string& name, const std::string& body) {
        tree.write(name, "#!/bin/sh\n" + body + "\n");
        std::filesystem::permissions(tree.path(name), std::filesystem::perms::owner_all);
        return GPUInfoCollector(
            platform::Services{.gpuDevices = std::make_shared<platform::SysfsGPUDeviceList>(paths),
                               .processRunner = runner,
                               .profiler = tree.path(name)});
    };
    const auto fast = names(collectorWith("none", "exit 0").collectFast());
    ASSERT_EQ(fast.size(), 2u);
    const std::pair<const char*, const char*> profilers[] = {
        {"segv", R"(printf '{"SPDisplaysDataType": [{"sppci_model": "Ghost GPU"}]}'; kill -SEGV $$)"},
        {"killed-mid-line", R"(printf '{"SPDisplaysDataType": [{"sppci_mo'; kill -KILL $$)"},
        {"writes-forever", R"(printf '{"SPDisplaysDataType": [{"sppci_model": "'; yes)"},
        {"silent-forever", "exec sleep 30"},
    };
    for (const auto& [name, body] : profilers) {
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(names(collectorWith(name, body).collectSynchronously()), fast) << name;
        EXPECT_LT(std::chrono::steady_clock::now() - started, 10s) << name;
    }
}

} // namespace
} // namespace tarsik
