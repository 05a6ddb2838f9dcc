#include "collector/fake_smc.h"
#include "collector/sensors/smc_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Bytes = std::vector<std::uint8_t>;

TEST(SMCReader, KeyCodesPutTheFirstCharacterHighestAndReadBackAsMacRoman) {
    EXPECT_EQ(AppleSMCReader::keyCode("TG0D"), 0x54473044u);
    EXPECT_EQ(AppleSMCReader::keyString(0x54473044), "TG0D");
    EXPECT_EQ(AppleSMCReader::keyString(0x80A5DBF0), "\u00C4\u2022\u20AC\uF8FF");
    EXPECT_EQ(AppleSMCReader::keyString(0x54470044), "????");
    EXPECT_EQ(AppleSMCReader::keyString(0x5447307F), "????");
}

TEST(SMCReader, DecodesBigEndianTypesAndLittleEndianFloats) {
    const std::optional<double> none;
    struct Case {
        Bytes data;
        const char* type;
        std::optional<double> value;
    };
    const Case cases[] = {
        {{0x37, 0x00}, "sp78", 55.0},
        {{0xFF, 0x80}, "sp78", -0.5},
        {{0xFF, 0x80}, "sp87", -1.0},
        {{0x01, 0x00}, "sp96", 4.0},
        {{0x04, 0x00}, "sp5a", 1.0},
        {{0x00, 0x40}, "spa5", 2.0},
        {{0x19, 0x00}, "spXY", 25.0},
        {{0x80, 0x00, 0x00, 0x00}, "fp1f", 1.0},
        {{0x1F, 0x40}, "fpe2", 2000.0},
        {{0x2A}, "ui8 ", 42.0},
        {{0x01, 0x02}, "ui16", 258.0},
        {{0x01, 0x02}, "ui2 ", 258.0},
        {{0x00, 0x00, 0x01, 0x00}, "ui32", 256.0},
        {{0x00, 0x00, 0x01, 0x00, 0xFF}, "ui4 ", 256.0},
        {{0x00, 0x00, 0x28, 0x42}, "flt ", 42.0},
        {{}, "ui8 ", none},
        {{0x2A}, "sp78", none},
        {{0x2A}, "spXY", none},
        {{0x2A}, "ui16", none},
        {{1, 2, 3}, "flt ", none},
        {{1, 2, 3}, "ui32", none},
        {{0x19, 0x00}, "si16", none},
        {{0x19, 0x00}, "SP78", none},
        {{0x19, 0x00, 0, 0}, "flt", none},
        {{0x19, 0x00}, "????", none},
    };
    for (const auto& [data, type, value] : cases) {
        EXPECT_EQ(AppleSMCReader::decode(data, type), value) << type << " of " << data.size() << " bytes";
    }
}

TEST(SMCReader, OpensTheFirstServiceThatOpensAndClosesItWithTheReader) {
    testing::FakeSMC smc({}, {"VirtualSMC", "FakeSMC"});
    {
        auto reader = AppleSMCReader::open(smc);
        ASSERT_TRUE(reader);
        EXPECT_EQ(reader->openedServiceName(), "FakeSMC");
        EXPECT_EQ(smc.openConnections, 1);
    }
    EXPECT_EQ(smc.openConnections, 0);
    EXPECT_THAT(smc.openAttempts, ElementsAre("AppleSMC", "SMC", "FakeSMC"));

    testing::FakeSMC none({}, {});
    EXPECT_FALSE(AppleSMCReader::open(none));
    EXPECT_THAT(none.openAttempts, ElementsAre("AppleSMC", "SMC", "FakeSMC", "VirtualSMC"));
    EXPECT_EQ(none.openConnections, 0);
}

TEST(SMCReader, ReadsAKeyWithTwoCallsAndRejectsBadSizes) {
    testing::FakeSMC smc({
        {"TG0D", "sp78", {0x37, 0x00}},
        {"ZERO", "ui8 ", {}},
        {"BIG1", "ch8*", Bytes(33, 0x41)},
        {"FULL", "ch8*", Bytes(32, 0x42)},
    });
    auto reader = AppleSMCReader::open(smc);
    ASSERT_TRUE(reader);

    EXPECT_EQ(reader->readKey("TG0D"), (SMCKeyData{"sp78", {0x37, 0x00}}));
    EXPECT_EQ(smc.totalCalls(), 2);
    EXPECT_EQ(reader->readKey("FULL"), (SMCKeyData{"ch8*", Bytes(32, 0x42)}));
    EXPECT_EQ(reader->readKey("ZERO"), std::nullopt);
    EXPECT_EQ(reader->readKey("BIG1"), std::nullopt);
    EXPECT_EQ(reader->readKey("TG9Z"), std::nullopt);
    EXPECT_EQ(smc.callsByCommand[platform::kSMCReadBytes], 2) << "no read after a bad size or a missing key";

    const int callsBefore = smc.totalCalls();
    for (const char* key : {"TG0", "TG0DD", "TG0\u00C4", ""}) {
        EXPECT_EQ(reader->readKey(key), std::nullopt) << key;
    }
    EXPECT_EQ(smc.totalCalls(), callsBefore) << "a key that is not four bytes costs no call";
    EXPECT_EQ(smc.protocolViolations, 0);
}

TEST(SMCReader, AFailedCallOrSMCResultGivesNothing) {
    testing::FakeSMC smc({{"TG0D", "sp78", {0x37, 0x00}}, {"TG0P", "sp78", {0x30, 0x00}}});
    auto reader = AppleSMCReader::open(smc);
    ASSERT_TRUE(reader);
    smc.faults.failingResultKey = "TG0P";
    EXPECT_EQ(reader->readKey("TG0P"), std::nullopt);
    smc.faults.failingCommand = platform::kSMCReadBytes;
    EXPECT_EQ(reader->readKey("TG0D"), std::nullopt);
    smc.faults.failingCommand = platform::kSMCKeyAtIndex;
    EXPECT_EQ(reader->key(0), std::nullopt);
    smc.faults.failingCommand = platform::kSMCKeyCount;
    EXPECT_THAT(reader->allKeys(), IsEmpty());
}

TEST(SMCReader, ListsKeysInIndexOrderWithinTheIndexLimit) {
    testing::FakeSMC smc(
        {{"#KEY", "ui32", {0, 0, 0, 3}}, {"TG0D", "sp78", {0x37, 0x00}}, {"PG0R", "flt ", {0, 0, 0, 0}}});
    auto reader = AppleSMCReader::open(smc);
    ASSERT_TRUE(reader);
    EXPECT_THAT(reader->allKeys(), ElementsAre("#KEY", "TG0D", "PG0R"));

    smc.faults.zeroCodeAtIndex = 1;
    EXPECT_THAT(reader->allKeys(), ElementsAre("#KEY", "PG0R"));

    smc.faults.reportedCount = 0;
    smc.callsByCommand.clear();
    EXPECT_THAT(reader->allKeys(), IsEmpty());
    EXPECT_EQ(smc.totalCalls(), 1);

    // A count that lies: the indices past the real keys fail and are skipped.
    smc.faults.reportedCount = 50000;
    smc.callsByCommand.clear();
    EXPECT_THAT(reader->allKeys(), ElementsAre("#KEY", "PG0R"));
    EXPECT_EQ(smc.callsByCommand[platform::kSMCKeyAtIndex], 20000);
    EXPECT_EQ(smc.protocolViolations, 0);
}

} // namespace
} // namespace tarsik
