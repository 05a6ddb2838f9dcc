#include "platform/pci/pci_device.h"
#include "platform/pci/sysfs_gpu_device_list.h"
#include "support/fixture_tree.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarsik::platform {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<GPUDeviceInfo> listOf(const testing::FixtureTree& tree) {
    return SysfsGPUDeviceList(SystemPaths{.root = tree.root()}).devices();
}

std::vector<std::string> namesOf(const std::vector<GPUDeviceInfo>& devices) {
    std::vector<std::string> names;
    for (const auto& device : devices) {
        names.push_back(device.name);
    }
    return names;
}

TEST(GPUDeviceList, WorkstationListsEveryDisplayClassFunctionInSlotOrder) {
    const testing::FixtureTree tree("workstation");
    const auto devices = listOf(tree);
    EXPECT_THAT(namesOf(devices),
                ElementsAre("Intel CoffeeLake-S GT2 [UHD Graphics 630]", // pci.ids, prefixed
                            "NVIDIA H100 PCIe",                          // the driver's Model line
                            "AMD Radeon RX 6800 XT",                     // amdgpu.ids, rev c1
                            "Red Hat Virtio 1.0 GPU"));                  // 0x0380 display controller
    ASSERT_EQ(devices.size(), 4u);

    const auto& intel = devices[0];
    EXPECT_TRUE(intel.isLowPower);
    EXPECT_TRUE(intel.hasUnifiedMemory);
    EXPECT_EQ(intel.recommendedMaxWorkingSetSize, 0u);

    const auto& nvidia = devices[1];
    EXPECT_FALSE(nvidia.isLowPower) << "a 3D controller without boot_vga is still listed, as discrete";
    EXPECT_EQ(nvidia.recommendedMaxWorkingSetSize, 0u) << "memory comes from NVML, never on the UI thread";

    const auto& amd = devices[2];
    EXPECT_FALSE(amd.isRemovable);
    EXPECT_EQ(amd.recommendedMaxWorkingSetSize, 17163091968u);
    EXPECT_FALSE(amd.families.metal3 || amd.families.mac2 || amd.families.mac1);
}

TEST(GPUDeviceList, LaptopWithApuAndSleepingExternalGPU) {
    const testing::FixtureTree tree("amd-apu-laptop");
    const auto devices = listOf(tree);
    // The APU drives the panel and comes first although its slot is higher. The sleeping eGPU is
    // named from pci.ids: its driver's information file would wake it.
    EXPECT_THAT(namesOf(devices), ElementsAre("AMD Phoenix1", "NVIDIA GA104 [GeForce RTX 3070]"));
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].busAddress, "0000:c4:00.0");
    EXPECT_TRUE(devices[1].isRemovable);
    EXPECT_FALSE(devices[1].isLowPower);
    EXPECT_TRUE(devices[0].isLowPower) << "amdgpu's vddnb rail marks an APU";
    EXPECT_EQ(devices[0].recommendedMaxWorkingSetSize, 512u * 1024 * 1024);
}

// A pure Optimus laptop: the GeForce is a 3D controller, which has no boot_vga file at all, on a
// lower slot than the APU that drives the panel.
TEST(GPUDeviceList, ABootGPUOnAHigherSlotStillComesFirst) {
    const testing::FixtureTree tree("ryzen-optimus-laptop");
    const auto devices = listOf(tree);
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].busAddress, "0000:05:00.0");
    EXPECT_TRUE(devices[0].isLowPower);
    EXPECT_EQ(devices[1].name, "NVIDIA GA107M [GeForce RTX 3050 Mobile]")
        << "asleep: named without waking it";
}

// Two Arc cards: the A770 behind its own switch with an audio function beside it, as sysfs
// links it, and an xe card. Both are discrete although Intel's. xe keeps each tile's memory size
// in a plain field; i915 says nothing in sysfs.
TEST(GPUDeviceList, IntelCardsBehindBridgesAreDiscreteAndXeGivesItsMemorySize) {
    const testing::FixtureTree tree("intel-arc-desktop");
    const auto devices = listOf(tree);
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].busAddress, "0000:03:00.0");
    EXPECT_FALSE(devices[0].isLowPower || devices[1].isLowPower);
    EXPECT_EQ(devices[0].recommendedMaxWorkingSetSize, 0u) << "the i915 card";
    EXPECT_EQ(devices[1].recommendedMaxWorkingSetSize, 12ull * 1024 * 1024 * 1024);
    EXPECT_EQ(devices[1].vendorName, "Intel");
}

TEST(GPUDeviceList, VirtualAdaptersAreListedLikeAnyOther) {
    const testing::FixtureTree tree("virtual-machine");
    const auto devices = listOf(tree);
    // QEMU's standard VGA is not in pci.ids; QXL sits at 00:02.0 but is not Intel, so not integrated.
    EXPECT_THAT(namesOf(devices), ElementsAre("1234:1111", "Red Hat QXL paravirtual graphic card"));
    EXPECT_FALSE(devices.at(1).isLowPower);
}

TEST(GPUDeviceList, MachineWithoutDisplayDevicesListsNothing) {
    const testing::FixtureTree tree("headless");
    EXPECT_THAT(listOf(tree), IsEmpty());
    const testing::FixtureTree empty("");
    EXPECT_THAT(listOf(empty), IsEmpty()) << "no sysfs at all";
}

TEST(GPUDeviceList, BrokenFilesFallBackFieldByFieldAndKeepTheRestOfTheList) {
    const testing::FixtureTree tree("workstation");
    const std::string amd = "sys/bus/pci/devices/0000:03:00.0/";
    const std::string nvidia = "sys/bus/pci/devices/0000:01:00.0/";
    tree.makeUnreadable(amd + "revision");                        // amdgpu.ids needs it: pci.ids instead
    tree.write(amd + "mem_info_vram_total", "N/A\n");             // junk: unknown memory
    tree.remove(amd + "driver");                                  // no driver bound
    tree.remove("proc/driver/nvidia");                            // driver not loaded
    tree.write("sys/bus/pci/devices/0000:00:02.0/class", "0x03"); // junk class: not display-class
    tree.remove("sys/bus/pci/devices/0000:04:00.0/vendor");       // vanished while being read

    const auto devices = listOf(tree);
    EXPECT_THAT(namesOf(devices),
                ElementsAre("NVIDIA GH100 [H100 PCIe]", "AMD Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]"));
    EXPECT_EQ(devices.at(1).recommendedMaxWorkingSetSize, 0u);

    tree.remove("usr/share/misc/pci.ids");
    EXPECT_THAT(namesOf(listOf(tree)), ElementsAre("10de:2331", "1002:73bf"));
}

// Fedora and Arch keep the database only where their hwdata package puts it.
TEST(GPUDeviceList, AnHwdataOnlySystemNamesItsGPUsLikeDebian) {
    const testing::FixtureTree tree("workstation");
    const auto debian = namesOf(listOf(tree));
    std::filesystem::create_directories(tree.path("usr/share/hwdata"));
    std::filesystem::rename(tree.path("usr/share/misc/pci.ids"), tree.path("usr/share/hwdata/pci.ids"));
    EXPECT_EQ(namesOf(listOf(tree)), debian);
}

TEST(PCIDevice, SlotsSortNumerically) {
    EXPECT_TRUE(slotLess("0000:02:00.0", "0000:0a:00.0"));
    EXPECT_TRUE(slotLess("0000:ff:00.0", "10000:00:00.0")) << "a wider domain is a larger number";
    EXPECT_TRUE(slotLess("0000:00:02.0", "garbage"));
    EXPECT_FALSE(slotLess("0000:00:02.0", "0000:00:02.0"));
}

} // namespace
} // namespace tarsik::platform
