#include "collector/fake_smc.h"
#include "collector/gpu_info_collector.h"
#include "platform/applesmc/applesmc_service.h"
#include "support/fixture_tree.h"

#include <algorithm>
#include <bit>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>

namespace tarsik {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Bytes = std::vector<std::uint8_t>;
using Key = testing::FakeSMC::Key;

// As the SMC stores an IEEE single: least significant byte first.
Bytes floatBytes(float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
            static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
}

GPUInfoCollector collectorOver(std::shared_ptr<const platform::SMCService> smc) {
    return GPUInfoCollector(platform::Services{.smc = std::move(smc)});
}

std::vector<std::string> lines(const std::vector<SensorReading>& readings) {
    std::vector<std::string> result;
    for (const auto& reading : readings) {
        result.push_back(reading.name + ": " + reading.value + " " + reading.unit + " | " + reading.note);
    }
    return result;
}

// The non-GPU keys every Intel Mac lists.
std::vector<Key> withSystemKeys(std::vector<Key> gpuKeys) {
    std::vector<Key> keys{
        {"#KEY", "ui32", {0, 0, 0x04, 0xD2}}, {"TC0P", "sp78", {0x30, 0x40}},
        {"F0Ac", "fpe2", {0x1F, 0x40}},       {"TB0T", "sp78", {0x1E, 0x00}},
        {"PSTR", "flt ", floatBytes(35.5f)},
    };
    keys.insert(keys.begin() + 2, gpuKeys.begin(), gpuKeys.end());
    return keys;
}

// A machine without an SMC service; one that cannot be opened is the reader's test.
TEST(SMCScan, WithoutAnSMCNothingIsRead) {
    EXPECT_THAT(collectorOver(nullptr).readSMCGPUSensors(), IsEmpty());
}

// The power keys carry bytes of real machines (an iMac Pro's PGTR and PG0C, a MacBook Pro's
// PG0R): little-endian "flt " is what makes them visible at all.
TEST(SMCScan, IntelMacWithDiscreteAMDGPU) {
    const auto smc = std::make_shared<testing::FakeSMC>(withSystemKeys({
        {"TG0D", "sp78", {0x37, 0x00}},
        {"PG0R", "flt ", {0x5A, 0x5D, 0xB9, 0x3D}},
        {"TGDD", "sp78", {0x1C, 0x00}},
        {"PCPG", "flt ", floatBytes(4.96f)},
        {"PGTR", "flt ", {0xBB, 0x32, 0x10, 0x41}},
        {"TG0P", "sp78", {0x32, 0x80}},
        {"PG0C", "flt ", {0x98, 0x93, 0xA9, 0x40}},
    }));
    const auto readings = collectorOver(smc).readSMCGPUSensors();
    EXPECT_THAT(lines(readings),
                ElementsAre("GPU 0 Proximity: 50.5 \u00B0C | SMC key TG0P.",
                            "GPU 0 Die: 55 \u00B0C | SMC key TG0D.", "GPU 0 Die: 28 \u00B0C | SMC key TGDD.",
                            "Package IGPU: 5 W | SMC key PCPG.", "GPU Total: 9 W | SMC key PGTR.",
                            "GPU 0 Total: 0.1 W | SMC key PG0R.", "GPU 0 Core: 5.3 W | SMC key PG0C."));
    EXPECT_NE(readings[0].id, readings[1].id);
    EXPECT_EQ(smc->openConnections, 0);
    EXPECT_EQ(smc->protocolViolations, 0);
}

TEST(SMCScan, KeepsOnlyPlausibleValues) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    const auto smc = std::make_shared<testing::FakeSMC>(std::vector<Key>{
        {"TG1D", "flt ", floatBytes(-20.0f)},
        {"TG2D", "flt ", floatBytes(130.0f)},
        {"TG3D", "flt ", floatBytes(129.9f)},
        {"TG4D", "sp78", {0xEC, 0x80}}, // -19.5
        {"TG5D", "flt ", floatBytes(nan)},
        {"TG6D", "flt ", floatBytes(-infinity)},
        {"PG1R", "flt ", floatBytes(0.0f)},
        {"PG2R", "flt ", floatBytes(1000.0f)},
        {"PG3R", "flt ", floatBytes(999.9f)},
        {"PG4R", "flt ", floatBytes(-0.01f)},
        {"PG5R", "flt ", floatBytes(infinity)},
        {"PG6R", "ui16", {0x01, 0x02}},
    });
    EXPECT_THAT(lines(collectorOver(smc).readSMCGPUSensors()),
                ElementsAre("GPU 3 Die: 129.9 \u00B0C | SMC key TG3D.",
                            "GPU 4 Die: -19.5 \u00B0C | SMC key TG4D.", "GPU 1 Total: 0 W | SMC key PG1R.",
                            "GPU 3 Total: 999.9 W | SMC key PG3R.", "GPU 6 Total: 258 W | SMC key PG6R."));
    EXPECT_EQ(smc->protocolViolations, 0);
}

TEST(SMCScan, ReadsEachKeyOnceAndOnlyFourCharacterGPUKeys) {
    auto keys = withSystemKeys({
        {"TG0D", "sp78", {0x37, 0x00}},
        {"TG0D", "sp78", {0x38, 0x00}},                             // listed twice
        {"TGx1", "sp78", {0x2D, 0x00}},                             // only listed, never generated
        {std::string{'T', 'G', '\xC4', 'D'}, "sp78", {0x2D, 0x00}}, // "TGÄD": five bytes once decoded
        {"TG0\x01", "sp78", {0x2D, 0x00}},
    });
    keys.push_back({"PG0R", "flt ", floatBytes(3.0f)}); // in the SMC but not listed
    const auto smc = std::make_shared<testing::FakeSMC>(keys);
    smc->faults.reportedCount = static_cast<std::uint32_t>(keys.size() - 1);

    EXPECT_THAT(lines(collectorOver(smc).readSMCGPUSensors()),
                ElementsAre("GPU 0 Die: 55 \u00B0C | SMC key TG0D.", "GPU x1 Die: 45 \u00B0C | SMC key TGx1.",
                            "GPU 0 Total: 3 W | SMC key PG0R."));
    const auto& asked = smc->keyInfoRequests;
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "TG0D"), 1);
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "TGx1"), 1);
    EXPECT_EQ(asked.size(), 326u) << "the 325 generated keys and TGx1, nothing else";
}

TEST(SMCScan, SortsByTheSortKeyText) {
    const auto smc = std::make_shared<testing::FakeSMC>(std::vector<Key>{
        {"TG0D", "sp78", {0x37, 0x00}},
        {"TG0P", "sp78", {0x37, 0x00}},
        {"TG1D", "sp78", {0x37, 0x00}},
        {"TGDD", "sp78", {0x37, 0x00}},
        {"TG0T", "sp78", {0x37, 0x00}},
        {"TCGC", "sp78", {0x37, 0x00}},
    });
    std::vector<std::string> notes;
    for (const auto& reading : collectorOver(smc).readSMCGPUSensors()) {
        notes.push_back(reading.note);
    }
    EXPECT_THAT(notes, ElementsAre("SMC key TG0P.", "SMC key TG0T.", "SMC key TG1D.", "SMC key TG0D.",
                                   "SMC key TGDD.", "SMC key TCGC."));
}

// The Linux service over a copy of an Intel iMac's applesmc directory, where the selected key
// is TG0D.
TEST(SMCScan, ReadsTheAppleSMCDriverFiles) {
    const testing::FixtureTree tree("intel-imac");
    const auto service =
        std::make_shared<platform::AppleSMCService>(platform::SystemPaths{.root = tree.root()});
    EXPECT_THAT(lines(collectorOver(service).readSMCGPUSensors()),
                ElementsAre("GPU 0 Die: 55 \u00B0C | SMC key TG0D."));

    const std::string directory = "sys/devices/platform/applesmc.768/";
    tree.write(directory + "key_at_index_name", "PG0R\n");
    tree.write(directory + "key_at_index_type", "flt \n");
    tree.write(directory + "key_at_index_data_length", "4\n");
    tree.write(directory + "key_at_index_data", std::string("\x5A\x5D\xB9\x3D", 4));
    EXPECT_THAT(lines(collectorOver(service).readSMCGPUSensors()),
                ElementsAre("GPU 0 Total: 0.1 W | SMC key PG0R."));

    tree.makeUnreadable(directory + "key_at_index");
    EXPECT_THAT(collectorOver(service).readSMCGPUSensors(), IsEmpty());
}

} // namespace
} // namespace tarsik
