#include "collector/fake_process_runner.h"
#include "collector/gpu_info_collector.h"
#include "platform/pci/sysfs_gpu_device_list.h"
#include "profiler/display_profile.h"
#include "support/fixture_tree.h"

#include <cstdlib>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/wait.h>

namespace tarsik {
namespace {

using ::testing::ElementsAre;
using ::testing::Field;

GPUInfoCollector collectorOver(const testing::FixtureTree& tree) {
    const platform::SystemPaths paths{.root = tree.root()};
    return GPUInfoCollector(platform::Services{
        .gpuDevices = std::make_shared<platform::SysfsGPUDeviceList>(paths),
        .processRunner = std::make_shared<testing::FakeProcessRunner>(profiler::displayProfile(paths)),
    });
}

// "name | vendor | type | bus | device id | revision | vram" of a record.
std::string summary(const GPUDevice& device) {
    return device.name + " | " + device.vendor + " | " + device.type + " | " + device.bus + " | " +
           device.pciDeviceID + " | " + device.pciRevisionID + " | " + device.vram;
}

auto display(const char* name, const char* resolution, bool main, bool online) {
    return ::testing::AllOf(Field(&DisplayInfo::name, name), Field(&DisplayInfo::resolution, resolution),
                            Field(&DisplayInfo::main, main), Field(&DisplayInfo::online, online));
}

TEST(DisplayProfile, WorkstationParsesBackIntoItsFourGPUsAndThreeDisplays) {
    const testing::FixtureTree tree("workstation");
    const auto collector = collectorOver(tree);
    const auto devices = collector.parseSystemProfiler();
    ASSERT_EQ(devices.size(), 4u);

    // Red Hat has no vendor token: the short name the device list gives.
    EXPECT_EQ(summary(devices[0]), "Intel CoffeeLake-S GT2 [UHD Graphics 630] | Intel | Integrated | "
                                   "Built-In | 0x3e92 | 0x0000 | Unknown");
    EXPECT_EQ(summary(devices[1]), "NVIDIA H100 PCIe | NVIDIA | Discrete | PCIe | 0x2331 | 0x00a1 | Unknown");
    EXPECT_EQ(summary(devices[2]),
              "AMD Radeon RX 6800 XT | AMD | Discrete | PCIe | 0x73bf | 0x00c1 | 15.98 GB");
    EXPECT_EQ(summary(devices[3]),
              "Red Hat Virtio 1.0 GPU | Red Hat | Discrete | PCIe | 0x1050 | 0x0001 | Unknown");

    // The boot GPU's only monitor is connected but off (no CRTC drives it): the main display is
    // the first one that is on, on the next GPU.
    EXPECT_THAT(devices[0].displays, ElementsAre(display("HDMI-A-1", "1920 x 1080", false, false)));
    EXPECT_TRUE(devices[1].displays.empty());
    EXPECT_EQ(devices[1].raw.count("spdisplays_ndrvs"), 0u);
    EXPECT_THAT(devices[2].displays, ElementsAre(display("DELL U2720Q", "3840 x 2160", true, true),
                                                 display("ROG PG279Q", "2560 x 1440", false, true)));
    EXPECT_EQ(devices[2].raw.at("spdisplays_ndrvs"), "2 item(s)");
    // The device's properties travel with its record; the properties test checks each of them.
    EXPECT_EQ(devices[1].raw.at("Kernel Driver Version"), "535.129.03");
    // Each GPU's Vulkan driver from the installed manifests, this machine's architecture first;
    // virtio has none installed.
    EXPECT_EQ(devices[0].raw.at("Vulkan Driver") + " " + devices[0].raw.at("Vulkan API Version"),
              "ANV (libvulkan_intel.so) 1.3.230");
    EXPECT_EQ(devices[1].raw.at("Vulkan Driver") + " " + devices[1].raw.at("Vulkan API Version"),
              "NVIDIA (libGLX_nvidia.so.0) 1.3.242");
    EXPECT_EQ(devices[2].raw.at("Vulkan Driver") + " " + devices[2].raw.at("Vulkan API Version"),
              "RADV (libvulkan_radeon.so) 1.3.230");
    EXPECT_EQ(devices[3].raw.count("Vulkan Driver"), 0u);
    EXPECT_EQ(devices[2].raw.at("PCI Slot"), "0000:03:00.0");
    // The exact size travels beside the rounded text, and is no property of its own.
    EXPECT_EQ(devices[2].vramBytes, 17'163'091'968u);
    EXPECT_EQ(devices[2].raw.count("_vram_bytes"), 0u);

    // Every profiler record finds its own GPU in the fast list.
    const auto full = collector.collectSynchronously();
    ASSERT_EQ(full.size(), 4u);
    for (std::size_t i = 0; i < full.size(); ++i) {
        EXPECT_EQ(full[i].name, devices[i].name);
        EXPECT_EQ(full[i].metalFamily, "Supported") << full[i].name;
        EXPECT_EQ(full[i].raw.at("Metal Device Name"), devices[i].name);
    }
}

TEST(DisplayProfile, WritesEDIDExtrasAndFallsBackToTheConnector) {
    const testing::FixtureTree tree("amd-apu-laptop");
    const auto document =
        nlohmann::json::parse(profiler::displayProfile(platform::SystemPaths{.root = tree.root()}));
    const auto& entries = document.at("SPDisplaysDataType");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_FALSE(entries[1].contains("spdisplays_ndrvs"));
    EXPECT_EQ(entries[1].at("sppci_bus"), "spdisplays_pcie_device");
    const auto& apu = entries[0];
    EXPECT_EQ(apu.at("sppci_bus"), "spdisplays_builtin");
    EXPECT_EQ(apu.at("spdisplays_vram"), "512 MB");
    // The panel's EDID has neither a name descriptor nor a serial text; the D1918H's own preferred
    // timing wins over the first mode of its connector.
    EXPECT_EQ(apu.at("spdisplays_ndrvs"), nlohmann::json::parse(R"([
        {"_name": "eDP-1", "_spdisplays_resolution": "1920 x 1080", "spdisplays_main": "spdisplays_yes",
         "spdisplays_online": "spdisplays_yes", "Connector": "eDP-1", "Manufacturer ID": "AUO",
         "Product Code": "0x102d", "Year of Manufacture": "2016", "Physical Size": "29 x 17 cm"},
        {"_name": "LG UltraFine", "_spdisplays_resolution": "3840 x 2160", "spdisplays_main": "spdisplays_no",
         "spdisplays_online": "spdisplays_yes", "Connector": "DP-1", "Manufacturer ID": "GSM",
         "Product Code": "0x5b10", "Serial Number": "609NTCZ83155", "Year of Manufacture": "2016",
         "Physical Size": "48 x 27 cm"},
        {"_name": "D1918H", "_spdisplays_resolution": "1366 x 768", "spdisplays_main": "spdisplays_no",
         "spdisplays_online": "spdisplays_yes", "Connector": "HDMI-A-1", "Manufacturer ID": "DEL",
         "Product Code": "0x2005", "Serial Number": "2C8FJ8255K5E", "Year of Manufacture": "2018",
         "Physical Size": "41 x 23 cm"}])"));
}

TEST(DisplayProfile, SurvivesBrokenConnectorsAndMachinesWithoutGPUs) {
    const testing::FixtureTree tree("workstation");
    const std::string dp1 = "sys/bus/pci/devices/0000:03:00.0/drm/card1/card1-DP-1/";
    tree.write(dp1 + "edid", std::string(100, '\xff'));
    tree.write(dp1 + "modes", "garbage\n");
    tree.makeUnreadable("sys/bus/pci/devices/0000:03:00.0/drm/card1/card1-DP-2/edid");
    tree.write("sys/bus/pci/devices/0000:03:00.0/drm/card1/card1-DP-2/modes", "1920x1080i\n");
    const auto devices = collectorOver(tree).parseSystemProfiler();
    ASSERT_EQ(devices.size(), 4u);
    EXPECT_THAT(devices[2].displays, ElementsAre(display("DP-1", "Unknown", true, true),
                                                 display("DP-2", "1920 x 1080", false, true)));

    const testing::FixtureTree headless("headless");
    EXPECT_EQ(nlohmann::json::parse(profiler::displayProfile(platform::SystemPaths{.root = headless.root()})),
              nlohmann::json::parse(R"({"SPDisplaysDataType": []})"));

    const testing::FixtureTree vm("virtual-machine");
    const auto guests = collectorOver(vm).parseSystemProfiler();
    ASSERT_EQ(guests.size(), 2u);
    EXPECT_EQ(guests[0].vendor, "Unknown") << "QEMU's vendor is not in pci.ids";
    EXPECT_THAT(guests[0].displays, ElementsAre(display("Virtual-1", "1280 x 800", true, true)));
}

TEST(DisplayProfile, TheToolTakesExactlyTheProfilerArguments) {
    const std::string tool = TARSIK_PROFILER;
    for (const char* arguments :
         {"", " SPDisplaysDataType -json", " SPDisplaysDataType -json -detailLevel mini",
          " SPDisplaysDataType -json -detailLevel full extra"}) {
        const int status = std::system((tool + arguments + " >/dev/null 2>&1").c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 2) << arguments;
    }
}

} // namespace
} // namespace tarsik
