#include "platform/drm/drm_connectors.h"
#include "platform/pci/gpu_properties.h"
#include "platform/pci/pci_ids.h"
#include "platform/profiler_location.h"
#include "support/fixture_tree.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarsik::platform {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

PCIDevice deviceAt(const testing::FixtureTree& tree, const std::string& slot) {
    for (auto& device : listDisplayDevices(SystemPaths{.root = tree.root()})) {
        if (device.slot == slot) {
            return device;
        }
    }
    throw std::runtime_error("no device " + slot);
}

std::vector<std::string> namesOf(const std::vector<DRMConnector>& connectors) {
    std::vector<std::string> names;
    for (const auto& connector : connectors) {
        names.push_back(connector.name);
    }
    return names;
}

TEST(DRMConnectors, WithoutConnectorIdsOrdersByNameWithNumbersAsNumbers) {
    const testing::FixtureTree tree("workstation");
    const std::string card = "sys/bus/pci/devices/0000:00:02.0/drm/card0/";
    for (const auto* name : {"card0-DP-10", "card0-DP-2", "card0-DP-1"}) {
        tree.write(card + name + "/status", "connected\n");
    }
    tree.makeUnreadable(card + "card0-DP-1/status");
    tree.remove(card + "card0-DP-2/enabled");
    const auto connectors = connectedDisplays(deviceAt(tree, "0000:00:02.0"));
    EXPECT_THAT(namesOf(connectors), ElementsAre("DP-2", "DP-10", "HDMI-A-1"));
    EXPECT_EQ(connectors[0].enabled, std::nullopt);
    EXPECT_EQ(connectors[0].firstMode, std::nullopt);
}

TEST(GPUProperties, ReadsWhatEachDriverExposes) {
    const testing::FixtureTree tree("workstation");
    const SystemPaths paths{.root = tree.root()};
    const PCIIDs pciIds(paths);
    constexpr std::uint64_t vram = 17'163'091'968;
    EXPECT_THAT(gpuProperties(deviceAt(tree, "0000:03:00.0"), paths, pciIds, vram),
                ElementsAre(Pair("PCI Slot", "0000:03:00.0"), Pair("Vendor ID", "0x1002"), Pair("Driver", "amdgpu"),
                            Pair("Kernel Driver Version", "6.1.0-27-amd64"), Pair("Subsystem Vendor ID", "0x1da2"),
                            Pair("Subsystem ID", "0x438e"), Pair("Subsystem Name", "NITRO+ Radeon RX 6800 XT"),
                            Pair("Link Speed", "16.0 GT/s PCIe"), Pair("Link Width", "x16"),
                            Pair("Max Link Speed", "16.0 GT/s PCIe"), Pair("Max Link Width", "x16"),
                            Pair("VBIOS Version", "113-D4120100-100"), Pair("Resizable BAR", "Yes"),
                            Pair("GTT Size", "15.58 GB"), Pair("Power Limit", "255 W (min 0 W, max 293 W)")))
        << "an in-tree module has the kernel's release; no NUMA node for -1";
    // BAR 0 spans 16 GiB: one byte more memory than that and the CPU no longer sees all of it.
    const auto bar = [&](std::uint64_t bytes) {
        const auto properties = gpuProperties(deviceAt(tree, "0000:03:00.0"), paths, pciIds, bytes);
        const auto found = std::find_if(properties.begin(), properties.end(),
                                        [](const auto& property) { return property.first == "Resizable BAR"; });
        return found == properties.end() ? std::string("absent") : found->second;
    };
    EXPECT_EQ(bar(16ULL << 30), "Yes");
    EXPECT_EQ(bar((16ULL << 30) + 1), "No");
    EXPECT_EQ(bar(0), "absent") << "unknown memory tells nothing";
    const auto nvidia = gpuProperties(deviceAt(tree, "0000:01:00.0"), paths, pciIds, 0);
    EXPECT_THAT(nvidia, ::testing::Contains(Pair("Kernel Driver Version", "535.129.03")));
    EXPECT_THAT(nvidia, ::testing::Contains(Pair("VBIOS Version", "96.00.99.00.01")));
    EXPECT_THAT(nvidia, ::testing::Contains(Pair("NUMA Node", "0")));
}

TEST(GPUProperties, LeavesASleepingGPUAsleep) {
    const testing::FixtureTree tree("amd-apu-laptop");
    const SystemPaths paths{.root = tree.root()};
    const PCIIDs pciIds(paths);
    const auto egpu = gpuProperties(deviceAt(tree, "0000:0a:00.0"), paths, pciIds, 0);
    EXPECT_THAT(egpu, ::testing::Contains(Pair("Max Link Speed", "16.0 GT/s PCIe")));
    for (const auto& [key, value] : egpu) {
        EXPECT_NE(key, "Link Speed") << "reading the current link resumes the device";
        EXPECT_NE(key, "VBIOS Version") << "the driver's information file would wake it";
        EXPECT_NE(key, "Power Limit") << "hwmon reads wake it on older kernels";
    }
}

TEST(ProfilerLocation, PrefersTheInstalledProfilerThenTheOneBesideTheProgram) {
    const testing::FixtureTree tree("");
    const auto make = [&](const std::string& relative) {
        tree.write(relative, "#!/bin/sh\n");
        std::filesystem::permissions(tree.path(relative), std::filesystem::perms::owner_all);
    };
    const auto installed = tree.path("usr/libexec/tarsik/tarsik-profiler");
    EXPECT_EQ(profilerFor(tree.path("usr/bin/tarsik-report")), installed) << "neither: the installed path";
    make("usr/bin/tarsik-profiler");
    EXPECT_EQ(profilerFor(tree.path("usr/bin/tarsik-report")), tree.path("usr/bin/tarsik-profiler"));
    make("usr/libexec/tarsik/tarsik-profiler");
    EXPECT_EQ(profilerFor(tree.path("usr/bin/tarsik-report")), installed);
}

} // namespace
} // namespace tarsik::platform
