#include "platform/drm_connectors.h"
#include "platform/gpu_properties.h"
#include "platform/pci_ids.h"
#include "platform/profiler_location.h"
#include "support/fixture_tree.h"

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
    EXPECT_THAT(
        gpuProperties(deviceAt(tree, "0000:03:00.0"), paths, pciIds),
        ElementsAre(Pair("PCI Slot", "0000:03:00.0"), Pair("Vendor ID", "0x1002"), Pair("Driver", "amdgpu"),
                    Pair("Subsystem Vendor ID", "0x1da2"), Pair("Subsystem ID", "0x438e"),
                    Pair("Subsystem Name", "NITRO+ Radeon RX 6800 XT"), Pair("Link Speed", "16.0 GT/s PCIe"),
                    Pair("Link Width", "x16"), Pair("Max Link Speed", "16.0 GT/s PCIe"),
                    Pair("Max Link Width", "x16"), Pair("VBIOS Version", "113-D4120100-100")))
        << "no driver version for an in-tree module, no NUMA node for -1";
    const auto nvidia = gpuProperties(deviceAt(tree, "0000:01:00.0"), paths, pciIds);
    EXPECT_THAT(nvidia, ::testing::Contains(Pair("Driver Version", "535.129.03")));
    EXPECT_THAT(nvidia, ::testing::Contains(Pair("VBIOS Version", "96.00.99.00.01")));
    EXPECT_THAT(nvidia, ::testing::Contains(Pair("NUMA Node", "0")));
}

TEST(GPUProperties, LeavesASleepingGPUAsleep) {
    const testing::FixtureTree tree("amd-apu-laptop");
    const SystemPaths paths{.root = tree.root()};
    const PCIIDs pciIds(paths);
    const auto egpu = gpuProperties(deviceAt(tree, "0000:0a:00.0"), paths, pciIds);
    EXPECT_THAT(egpu, ::testing::Contains(Pair("Max Link Speed", "16.0 GT/s PCIe")));
    for (const auto& [key, value] : egpu) {
        EXPECT_NE(key, "Link Speed") << "reading the current link resumes the device";
        EXPECT_NE(key, "VBIOS Version") << "the driver's information file would wake it";
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
