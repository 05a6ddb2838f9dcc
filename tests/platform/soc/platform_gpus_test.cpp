#include "platform/pci/sysfs_gpu_device_list.h"
#include "platform/soc/drm_platform_gpus.h"
#include "platform/soc/platform_gpu_names.h"
#include "platform/soc/soc_gpu_statistics.h"
#include "support/fixture_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarsik::platform {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

// A DRM node of a device below /sys/devices/platform, linked as sysfs links it.
void addDRMNode(const testing::FixtureTree& tree, const std::string& device, const std::string& driver,
                const std::string& node, const std::string& bus = "platform") {
    const auto directory = "sys/devices/platform/" + device;
    if (!fs::is_symlink(tree.path(directory + "/driver"))) {
        tree.write(directory + "/power/runtime_status", "active\n");
        fs::create_symlink("../../../bus/platform/drivers/" + driver, tree.path(directory + "/driver"));
        fs::create_symlink("../../../bus/" + bus, tree.path(directory + "/subsystem"));
    }
    tree.write(directory + "/drm/" + node + "/dev", "226:0\n");
    fs::create_symlink("../../../" + device, tree.path(directory + "/drm/" + node + "/device"));
    fs::create_directories(tree.path("sys/class/drm"));
    fs::create_symlink("../../devices/platform/" + device + "/drm/" + node,
                       tree.path("sys/class/drm/" + node));
}

void addConnectedDisplay(const testing::FixtureTree& tree, const std::string& device,
                         const std::string& card) {
    const auto connector = "sys/devices/platform/" + device + "/drm/" + card + "/" + card + "-Unknown-1";
    tree.write(connector + "/status", "connected\n");
    tree.write(connector + "/modes", "1024x768\n");
}

// A PCI workstation that also has a platform GPU, the firmware's framebuffer, a DisplayLink
// adapter and a Tegra-style host1x device: only the GPU joins the list, after the PCI GPUs and
// before the paravirtual adapter, and no stand-in's monitor is handed to it.
TEST(PlatformGPUs, OnlyRenderingGPUDriversCountAndTheyFollowThePCIGPUs) {
    const testing::FixtureTree tree("workstation");
    addDRMNode(tree, "fde60000.gpu", "panfrost", "card4");
    addDRMNode(tree, "fde60000.gpu", "panfrost", "renderD132");
    addDRMNode(tree, "simple-framebuffer.0", "simple-framebuffer", "card5");
    addConnectedDisplay(tree, "simple-framebuffer.0", "card5");
    addDRMNode(tree, "evdi.0", "evdi", "card6");
    addConnectedDisplay(tree, "evdi.0", "card6");
    addDRMNode(tree, "50000000.host1x", "drm", "card7", "host1x");
    addDRMNode(tree, "50000000.host1x", "drm", "renderD135", "host1x");

    const SystemPaths paths{.root = tree.root()};
    std::vector<std::string> listed;
    for (const auto& device : SysfsGPUDeviceList(paths).devices()) {
        listed.push_back(device.busAddress + " " + device.name);
    }
    EXPECT_THAT(listed, ElementsAre("0000:00:02.0 Intel CoffeeLake-S GT2 [UHD Graphics 630]",
                                    "0000:01:00.0 NVIDIA H100 PCIe", "0000:03:00.0 AMD Radeon RX 6800 XT",
                                    "fde60000.gpu Arm Mali", "0000:04:00.0 Red Hat Virtio 1.0 GPU"));
    const auto gpus = listPlatformGPUs(paths);
    ASSERT_EQ(gpus.size(), 1u);
    EXPECT_THAT(gpus[0].displayDevices, ElementsAre(tree.path("sys/devices/platform/fde60000.gpu")));
}

TEST(PlatformGPUs, NamesComeFromTheMostSpecificCompatibleTheTablesKnow) {
    struct Case {
        const char* driver;
        std::vector<std::string> compatible;
        const char* name;
    };
    const Case cases[] = {
        {"asahi", {"apple,agx-g13c", "apple,agx-g13s"}, "Apple M1 Max GPU (G13C)"},
        {"asahi", {"apple,agx-t6022"}, "Apple M2 Ultra GPU (G14D)"},
        {"asahi", {"apple,agx-g99x"}, "Apple GPU"},
        {"msm", {"qcom,adreno-630.2", "qcom,adreno"}, "Qualcomm Adreno 630"},
        {"msm", {"qcom,adreno-ffff0000", "qcom,adreno"}, "Qualcomm Adreno"},
        {"lima", {"allwinner,sun8i-h3-mali", "allwinner,sun7i-a20-mali", "arm,mali-400"}, "Arm Mali-400"},
        {"panfrost", {"mediatek,mt8192-mali", "arm,mali-valhall-jm"}, "Arm Mali (Valhall)"},
        {"powervr", {"ti,am62-gpu", "img,img-axe-1-16m", "img,img-axe"}, "Imagination PowerVR AXE-1-16M"},
        {"etnaviv", {}, "Vivante GPU"},
    };
    for (const auto& c : cases) {
        const PlatformGPU gpu{.driver = c.driver, .compatible = c.compatible};
        EXPECT_EQ(platformGPUName(gpu), c.name) << c.compatible.front();
    }
}

TEST(PlatformGPUs, LoadIsTheBusyShareBetweenTwoSamples) {
    const auto first = parseV3dGPUStats("queue\ttimestamp\tjobs\truntime\n"
                                        "bin\t1000000000\t10\t100000000\n"
                                        "render\t1000000000\t10\t200000000\n"
                                        "csd\t1000000000\t1\t0\n");
    const auto second = parseV3dGPUStats("queue\ttimestamp\tjobs\truntime\n"
                                         "bin\t1100000000\t12\t110000000\n"
                                         "render\t1100000000\t12\t230000000\n"
                                         "csd\t1100000000\t2\t5000000\n");
    ASSERT_TRUE(first && second);
    EXPECT_DOUBLE_EQ(*busyPercent(*first, *second), 45) << "every queue counts, compute too";
    EXPECT_FALSE(parseV3dGPUStats("queue timestamp jobs runtime\n")) << "no queue, no sample";

    EXPECT_DOUBLE_EQ(*busyPercent({.busy = 100, .elapsed = 1000}, {.busy = 400, .elapsed = 1500}), 60);
    EXPECT_DOUBLE_EQ(*busyPercent({.busy = 0, .elapsed = 0}, {.busy = 900, .elapsed = 500}), 100)
        << "overlapping queues never read past full";
    EXPECT_FALSE(busyPercent({.busy = 5, .elapsed = 10}, {.busy = 5, .elapsed = 10})) << "no time passed";
    EXPECT_FALSE(busyPercent({.busy = 50, .elapsed = 10}, {.busy = 5, .elapsed = 20})) << "a counter reset";
}

} // namespace
} // namespace tarsik::platform
