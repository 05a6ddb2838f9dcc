#include "collector/fake_gpu_device_list.h"
#include "collector/fake_process_runner.h"
#include "collector/gpu_info_collector.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

using platform::GPUDeviceInfo;
using ::testing::ElementsAre;
using ::testing::Pair;

constexpr std::uint64_t GiB = 1024ull * 1024 * 1024;

// A profiler that lists GPUs by these names (nothing at all for an empty list).
std::optional<std::string> profilerListing(const std::vector<std::string>& names) {
    if (names.empty()) {
        return std::nullopt;
    }
    std::string entries;
    for (const auto& name : names) {
        entries += (entries.empty() ? "" : ",") + std::string(R"({"sppci_model": ")") + name +
                   R"(", "sppci_bus": "spdisplays_pcie_device", "spdisplays_device-id": "0x0001"})";
    }
    return R"({"SPDisplaysDataType": [)" + entries + "]}";
}

std::vector<GPUDevice> merged(const std::vector<std::string>& profilerNames,
                              std::vector<GPUDeviceInfo> listed) {
    return GPUInfoCollector(platform::Services{
                                .gpuDevices = std::make_shared<testing::FakeGPUDeviceList>(std::move(listed)),
                                .processRunner = std::make_shared<testing::FakeProcessRunner>(
                                    profilerListing(profilerNames)),
                            })
        .collectSynchronously();
}

std::vector<std::string> namesOf(const std::vector<GPUDevice>& devices) {
    std::vector<std::string> names;
    for (const auto& device : devices) {
        names.push_back(device.name);
    }
    return names;
}

TEST(FullInventory, EnrichesTheProfilerRecordWithTheListedGPU) {
    const auto devices = merged({"AMD Radeon RX 6800 XT"}, {{.name = "AMD Radeon RX 6800 XT",
                                                             .recommendedMaxWorkingSetSize = 16 * GiB,
                                                             .isRemovable = true,
                                                             .families = {.mac2 = true}}});
    ASSERT_EQ(devices.size(), 1u);
    const auto& device = devices[0];
    EXPECT_EQ(device.bus, "PCIe") << "the profiler's fields stay";
    EXPECT_EQ(device.pciDeviceID, "0x0001");
    EXPECT_EQ(device.vram, "Unknown");
    EXPECT_EQ(device.metalFamily, "macOS GPU Family 2");
    EXPECT_THAT(device.raw,
                ElementsAre(Pair("Low Power", "No"), Pair("Metal Device Name", "AMD Radeon RX 6800 XT"),
                            Pair("Profiler Source", "system_profiler SPDisplaysDataType"),
                            Pair("Recommended Max Working Set", "16 GB"), Pair("Removable", "Yes"),
                            Pair("Unified Memory", "No"), Pair("spdisplays_device-id", "0x0001"),
                            Pair("sppci_bus", "spdisplays_pcie_device"),
                            Pair("sppci_model", "AMD Radeon RX 6800 XT")));
}

TEST(FullInventory, MatchesByContainmentEitherWayOrByAWordOfFourOrMore) {
    const auto isEnriched = [](const std::vector<GPUDevice>& devices) {
        return devices.size() == 1 && devices[0].metalFamily == "Supported";
    };
    EXPECT_TRUE(isEnriched(merged({"Radeon RX 6800"}, {{.name = "AMD RADEON RX 6800 XT"}})));
    EXPECT_TRUE(isEnriched(merged({"AMD Radeon RX 6800 XT"}, {{.name = "rx 6800"}})));
    EXPECT_TRUE(isEnriched(merged({"Navi 21 Radeon"}, {{.name = "AMD Radeon Pro"}})));
    EXPECT_TRUE(isEnriched(merged({"Vega Frontier Edition"}, {{.name = "AMD VEGA 56"}}))) << "exactly four";
    const auto shortWord = merged({"Pro GPU X1"}, {{.name = "Pro Card"}});
    EXPECT_THAT(namesOf(shortWord), ElementsAre("Pro GPU X1", "Pro Card")) << "a 3-letter word is no match";
    EXPECT_EQ(shortWord[0].metalFamily, "Unknown");
    EXPECT_EQ(shortWord[1].bus, "Metal");
}

TEST(FullInventory, TwoListedGPUsMatchingOneRecordBothEnrichItTheLaterWins) {
    const auto devices =
        merged({"Radeon Pro W6800X"}, {{.name = "Radeon Pro W6800X", .isRemovable = false},
                                       {.name = "AMD Radeon Pro W6800X Duo", .isRemovable = true}});
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].raw.at("Metal Device Name"), "AMD Radeon Pro W6800X Duo");
    EXPECT_EQ(devices[0].raw.at("Removable"), "Yes");
}

TEST(FullInventory, WithoutProfilerEveryListedGPUStandsAloneUnlessNamesRepeat) {
    const auto distinct = merged({}, {{.name = "Intel Arc A770", .recommendedMaxWorkingSetSize = 16 * GiB},
                                      {.name = "NVIDIA H100 PCIe", .isLowPower = true}});
    EXPECT_THAT(namesOf(distinct), ElementsAre("Intel Arc A770", "NVIDIA H100 PCIe"));
    EXPECT_EQ(distinct[0].bus, "Metal");
    EXPECT_EQ(distinct[0].vram, "16 GB");
    EXPECT_EQ(distinct[1].type, "Integrated");
    EXPECT_THAT(distinct[0].raw,
                ElementsAre(Pair("Low Power", "No"), Pair("Metal Device Name", "Intel Arc A770"),
                            Pair("Removable", "No"), Pair("Unified Memory", "No")));

    const auto repeated = merged({}, {{.name = "NVIDIA H100 PCIe"}, {.name = "NVIDIA H100 PCIe"}});
    ASSERT_EQ(repeated.size(), 1u) << "the second folds into the first";
    EXPECT_EQ(repeated[0].raw.at("Recommended Max Working Set"), "Unknown");

    const auto nothing = merged({}, {});
    ASSERT_EQ(nothing.size(), 1u);
    EXPECT_EQ(nothing[0].name, "No GPU detected");
}

// Two GPUs of one vendor share a word such as "nvidia"; the first matching record alone would
// give one card the other's properties and leave the other without any.
TEST(FullInventory, EachListedGPUPrefersARecordNoEarlierGPUClaimed) {
    const auto mixed = merged({"NVIDIA GeForce RTX 3070", "NVIDIA H100 PCIe"},
                              {{.name = "NVIDIA GeForce RTX 3070", .recommendedMaxWorkingSetSize = 8 * GiB},
                               {.name = "NVIDIA H100 PCIe", .recommendedMaxWorkingSetSize = 80 * GiB}});
    ASSERT_EQ(mixed.size(), 2u);
    EXPECT_EQ(mixed[0].raw.at("Recommended Max Working Set"), "8 GB");
    EXPECT_EQ(mixed[1].raw.at("Recommended Max Working Set"), "80 GB");

    const auto twins = merged({"AMD Radeon RX 6800 XT", "AMD Radeon RX 6800 XT"},
                              {{.name = "AMD Radeon RX 6800 XT"}, {.name = "AMD Radeon RX 6800 XT"}});
    ASSERT_EQ(twins.size(), 2u);
    EXPECT_EQ(twins[1].metalFamily, "Supported") << "the second card is enriched too";
}

} // namespace
} // namespace tarsik

namespace tarsik {
namespace {

// A profiler record as the Linux profiler writes it, with the GPU's slot.
std::string slottedEntry(const std::string& name, const std::string& slot) {
    return R"({"sppci_model": ")" + name + R"(", "PCI Slot": ")" + slot + R"("})";
}

std::vector<GPUDevice> mergedWithSlots(std::optional<std::string> profilerEntries,
                                       std::vector<GPUDeviceInfo> listed) {
    std::optional<std::string> output;
    if (profilerEntries) {
        output = R"({"SPDisplaysDataType": [)" + *profilerEntries + "]}";
    }
    return GPUInfoCollector(platform::Services{
                                .gpuDevices = std::make_shared<testing::FakeGPUDeviceList>(std::move(listed)),
                                .processRunner = std::make_shared<testing::FakeProcessRunner>(output),
                            })
        .collectSynchronously();
}

std::vector<std::string> workingSetsOf(const std::vector<GPUDevice>& devices) {
    std::vector<std::string> sets;
    for (const auto& device : devices) {
        const auto found = device.raw.find("Recommended Max Working Set");
        sets.push_back(*pciSlotOf(device) + " " + (found == device.raw.end() ? "-" : found->second));
    }
    return sets;
}

// Identical cards share every name, and GPUs of one vendor share words: where both sides know
// the slot, only the slot decides.
TEST(FullInventory, GPUsWithSlotsMatchOnlyTheRecordOfTheirSlot) {
    const std::vector<GPUDeviceInfo> listed{
        {.name = "AMD Radeon RX 6800 XT",
         .busAddress = "0000:03:00.0",
         .recommendedMaxWorkingSetSize = 16 * GiB},
        {.name = "Intel UHD Graphics 630", .busAddress = "0000:00:02.0"},
        {.name = "AMD Radeon RX 6800 XT",
         .busAddress = "0000:0b:00.0",
         .recommendedMaxWorkingSetSize = 8 * GiB},
        {.name = "AMD Radeon RX 6800 XT",
         .busAddress = "0000:0c:00.0",
         .recommendedMaxWorkingSetSize = 4 * GiB},
    };
    // The profiler lists the cards in another order and does not know the last one.
    const auto devices = mergedWithSlots(slottedEntry("AMD Radeon RX 6800 XT", "0000:0b:00.0") + "," +
                                             slottedEntry("AMD Radeon RX 6800 XT", "0000:03:00.0") + "," +
                                             slottedEntry("Intel UHD Graphics 630", "0000:00:02.0"),
                                         listed);
    EXPECT_THAT(workingSetsOf(devices), ElementsAre("0000:0b:00.0 8 GB", "0000:03:00.0 16 GB",
                                                    "0000:00:02.0 Unknown", "0000:0c:00.0 -"));
    EXPECT_EQ(devices[3].bus, "Metal") << "a card the profiler missed is not folded into its twin";

    // Without the profiler, twins and same-vendor GPUs stay apart as long as their slots differ.
    const auto alone = mergedWithSlots(std::nullopt, listed);
    EXPECT_THAT(workingSetsOf(alone),
                ElementsAre("0000:03:00.0 -", "0000:00:02.0 -", "0000:0b:00.0 -", "0000:0c:00.0 -"));

    // A profiler record without a slot is matched by name, and then belongs to that slot alone.
    const auto unslotted =
        mergedWithSlots(R"({"sppci_model": "AMD Radeon RX 6800 XT"})", {listed[0], listed[2]});
    EXPECT_THAT(workingSetsOf(unslotted), ElementsAre("0000:03:00.0 16 GB", "0000:0b:00.0 -"));
}

} // namespace
} // namespace tarsik
