#include "platform/pci/amdgpu_ids.h"
#include "platform/pci/pci_device.h"
#include "platform/pci/pci_ids.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>

namespace tarsik::platform {
namespace {

constexpr const char* database = "# comment\n"
                                 "1002  Advanced Micro Devices, Inc. [AMD/ATI]\n"
                                 "\t73bf  Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]\n"
                                 "\t\t1da2 438e  NITRO+ Radeon RX 6800 XT\n"
                                 "# a comment inside the block, as Debian's has dozens in AMD's\n"
                                 "\t73c0  Navi 22\n"
                                 "# a comment inside the next vendor's block\n"
                                 "10de  NVIDIA Corporation\n"
                                 "\t2330  GH100[H100 SXM5 80GB]\n"
                                 "\t\t10de 1626  H100 SXM5\n"
                                 "\t2331  GH100 [H100 PCIe]\n"
                                 "\n"
                                 "C 03  Display controller\n"
                                 "\t00  VGA compatible controller\n";

TEST(PCIIDs, FindsVendorsDevicesAndSubsystemsWithinTheirOwnBlock) {
    const PCIIDs ids{std::string(database)};
    EXPECT_EQ(ids.vendorName(0x1002), "Advanced Micro Devices, Inc. [AMD/ATI]");
    EXPECT_EQ(ids.deviceName(0x1002, 0x73bf), "Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]");
    EXPECT_EQ(ids.deviceName(0x10de, 0x2330), "GH100[H100 SXM5 80GB]");
    EXPECT_EQ(ids.deviceName(0x10de, 0x2331), "GH100 [H100 PCIe]");
    EXPECT_EQ(ids.deviceName(0x1002, 0x73c0), "Navi 22") << "past a comment inside the block";
    EXPECT_EQ(ids.subsystemName(0x1002, 0x73bf, 0x1da2, 0x438e), "NITRO+ Radeon RX 6800 XT");

    EXPECT_EQ(ids.deviceName(0x1002, 0x2330), std::nullopt) << "another vendor's device";
    EXPECT_EQ(ids.subsystemName(0x1002, 0x73c0, 0x1da2, 0x438e), std::nullopt)
        << "another device's subsystem";
    EXPECT_EQ(ids.deviceName(0x10de, 0x0300), std::nullopt) << "the class section is not a vendor";
}

// Vendors with blocks from empty to thousands of lines, so that the binary search lands inside
// large blocks and beside small ones; every id must come out as a plain reading finds it.
TEST(PCIIDs, LookupsAgreeWithAPlainReadingOfALargeDatabase) {
    const auto hex = [](unsigned id) {
        char text[5];
        std::snprintf(text, sizeof text, "%04x", id);
        return std::string(text);
    };
    std::string text = "# header\n\n";
    for (unsigned vendor = 0x10; vendor < 0x400; vendor += 3) {
        text += hex(vendor) + "  Vendor " + hex(vendor) + "\n";
        const unsigned devices = vendor % 7 == 0 ? 1500 : vendor % 5;
        for (unsigned device = 0; device < devices; ++device) {
            text += "\t" + hex(device * 2) + "  Device " + hex(vendor) + ":" + hex(device * 2) + "\n";
            if (device % 3 == 0) {
                text += "\t\t" + hex(vendor) + " " + hex(device) + "  Sub " + hex(device) + "\n";
            }
        }
        if (vendor % 11 == 0) {
            text += "# a comment\n\n";
        }
    }
    text += "C 03  Display controller\n\t00  VGA compatible controller\n";
    const PCIIDs ids{text};
    for (unsigned vendor = 0; vendor < 0x410; ++vendor) {
        const bool listed = vendor >= 0x10 && vendor < 0x400 && (vendor - 0x10) % 3 == 0;
        ASSERT_EQ(ids.vendorName(static_cast<std::uint16_t>(vendor)),
                  listed ? std::optional("Vendor " + hex(vendor)) : std::nullopt)
            << hex(vendor);
        if (!listed) {
            continue;
        }
        const unsigned devices = vendor % 7 == 0 ? 1500 : vendor % 5;
        for (unsigned device = 0; device < std::min(devices * 2 + 1, 12u); ++device) {
            const auto expected = device % 2 == 0 && device / 2 < devices
                                      ? std::optional("Device " + hex(vendor) + ":" + hex(device))
                                      : std::nullopt;
            ASSERT_EQ(ids.deviceName(static_cast<std::uint16_t>(vendor), static_cast<std::uint16_t>(device)),
                      expected)
                << hex(vendor) << ":" << hex(device);
        }
    }
    EXPECT_EQ(ids.deviceName(0x3f7, 2998), "Device 03f7:0bb6");
    EXPECT_EQ(ids.subsystemName(0x3f7, 2 * 1497, 0x3f7, 1497), "Sub 05d9");
    EXPECT_EQ(ids.subsystemName(0x3f7, 2 * 1498, 0x3f7, 1497), std::nullopt) << "the previous device's";
}

TEST(PCIIDs, MissingOrEmptyDatabaseKnowsNothing) {
    const PCIIDs missing{SystemPaths{.root = "/nonexistent"}};
    EXPECT_EQ(missing.vendorName(0x1002), std::nullopt);
    const PCIIDs empty{std::string()};
    EXPECT_EQ(empty.deviceName(0x1002, 0x73bf), std::nullopt);
    const PCIIDs truncated{std::string("1002  AMD\n\t73bf")};
    EXPECT_EQ(truncated.deviceName(0x1002, 0x73bf), std::nullopt);
}

TEST(AmdgpuIds, NeedsBothDeviceAndRevision) {
    constexpr const char* ids = "# List of AMDGPU IDs\n\n1.0.0\n"
                                "1309,\t00,\tAMD Radeon R7 Graphics\n"
                                "73BF,\tC0,\tAMD Radeon RX 6900 XT\n"
                                "73BF,\tC1,\tAMD Radeon RX 6800 XT\n"
                                "broken line\n"
                                "73BF,\tC3\n";
    EXPECT_EQ(amdgpuMarketingName(ids, 0x73bf, 0xc1), "AMD Radeon RX 6800 XT");
    EXPECT_EQ(amdgpuMarketingName(ids, 0x1309, 0x00), "AMD Radeon R7 Graphics") << "revision 00 lines match";
    EXPECT_EQ(amdgpuMarketingName(ids, 0x73bf, 0xc3), std::nullopt);
    EXPECT_EQ(amdgpuMarketingName(ids, 0x73bf, 0xc2), std::nullopt);
    EXPECT_EQ(amdgpuMarketingName("73BF,\tC1,\tNot the version line\n", 0x73bf, 0xc1), std::nullopt);
}

} // namespace
} // namespace tarsik::platform

namespace tarsik::platform {
namespace {

// The fixture machines' devices looked up in the databases this system has installed: a fixture
// copied with a wrong identifier, or a lookup that fails on the real files, shows here.
TEST(InstalledDatabases, KnowEveryFixtureDevice) {
    const SystemPaths system;
    if (!std::filesystem::exists(system.pciIds())) {
        GTEST_SKIP() << "no pci.ids at " << system.pciIds() << " (Debian package pci.ids)";
    }
    const PCIIDs installed(system);
    const bool haveAmdgpuIds = std::filesystem::exists(system.amdgpuIds());
    int looked = 0;
    for (const auto& machine : std::filesystem::directory_iterator(TARSIK_FIXTURES_DIR "/sysfs")) {
        const SystemPaths fixture{.root = machine.path()};
        for (const auto& device : listDisplayDevices(fixture)) {
            if (device.vendorId == 0x1234) {
                continue; // QEMU's standard VGA is in no pci.ids
            }
            const bool newerThanDebian12 = device.vendorId == 0x8086 && device.deviceId == 0xe20b; // Arc B580
            const auto where = machine.path().filename().string() + " " + device.slot;
            EXPECT_TRUE(installed.vendorName(device.vendorId)) << where;
            EXPECT_TRUE(newerThanDebian12 || installed.deviceName(device.vendorId, device.deviceId)) << where;
            const auto fixtureName = device.revision
                                         ? amdgpuMarketingName(fixture, device.deviceId, *device.revision)
                                         : std::nullopt;
            if (haveAmdgpuIds && fixtureName) {
                EXPECT_EQ(amdgpuMarketingName(system, device.deviceId, *device.revision), fixtureName)
                    << where;
            }
            ++looked;
        }
    }
    EXPECT_GT(looked, 20);
    if (!haveAmdgpuIds) {
        std::cout << "[ SKIPPED  ] amdgpu.ids: not installed at " << system.amdgpuIds()
                  << " (libdrm-common)\n";
    }
}

} // namespace
} // namespace tarsik::platform
