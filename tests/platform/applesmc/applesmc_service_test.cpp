#include "platform/applesmc/applesmc_service.h"
#include "support/captured_diagnostics.h"
#include "support/fixture_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarsik::platform {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::string_view kDirectory = "sys/devices/platform/applesmc.768/";
constexpr std::uint32_t kTG0D = 0x54473044;
constexpr std::uint32_t kFloatType = 0x666C7420; // "flt "

struct Reply {
    int status;
    SMCParamBlock block;
};

Reply call(SMCConnection& connection, const SMCParamBlock& request) {
    Reply reply{.status = -1, .block = {}};
    reply.status = connection.call(std::as_bytes(std::span<const SMCParamBlock, 1>(&request, 1)),
                                   std::as_writable_bytes(std::span<SMCParamBlock, 1>(&reply.block, 1)));
    return reply;
}

class AppleSMCServiceTest : public ::testing::Test {
  protected:
    std::string file(std::string_view name) const { return std::string(kDirectory) + std::string(name); }

    testing::FixtureTree tree{"intel-imac"};
    AppleSMCService service{SystemPaths{.root = tree.root()}};
};

TEST_F(AppleSMCServiceTest, OpensOnlyAppleSMCWithTheDriverAndTheRightToSelectKeys) {
    testing::CapturedDiagnostics diagnostics;
    EXPECT_TRUE(service.open("AppleSMC"));
    for (const char* name : {"SMC", "FakeSMC", "VirtualSMC", "applesmc"}) {
        EXPECT_FALSE(service.open(name)) << name;
    }
    EXPECT_THAT(diagnostics.take(), IsEmpty()) << "other services are simply not on Linux";
    tree.makeUnreadable(file("key_at_index"));
    EXPECT_FALSE(service.open("AppleSMC")) << "key_at_index cannot be written";
    EXPECT_THAT(diagnostics.take(),
                ElementsAre("applesmc refused: " + tree.path(file("key_at_index")).string() +
                            " cannot be written: Is a directory"));

    const testing::FixtureTree noDriver("headless");
    EXPECT_FALSE(AppleSMCService(SystemPaths{.root = noDriver.root()}).open("AppleSMC"));
    EXPECT_THAT(diagnostics.take(),
                ElementsAre("applesmc absent: no " + noDriver.root().string() +
                            "/sys/devices/platform/applesmc.768 (only Intel Macs have it)"));
}

TEST_F(AppleSMCServiceTest, TranslatesTheFourCommandsIntoTheKeyFiles) {
    auto connection = service.open("AppleSMC");
    ASSERT_TRUE(connection);

    auto reply = call(*connection, {.command = kSMCKeyCount});
    EXPECT_EQ(reply.status, 0);
    EXPECT_EQ(reply.block.data32, 1u);

    reply = call(*connection, {.command = kSMCKeyAtIndex, .data32 = 0});
    EXPECT_EQ(reply.status, 0);
    EXPECT_EQ(reply.block.key, kTG0D);

    // The type keeps its trailing blank; the value is raw binary.
    tree.write(file("key_at_index_type"), "flt \n");
    tree.write(file("key_at_index_data_length"), "4\n");
    tree.write(file("key_at_index_data"), std::string("\x00\x00\x28\x42", 4));
    reply = call(*connection, {.key = kTG0D, .command = kSMCKeyInfo});
    EXPECT_EQ(reply.status, 0);
    EXPECT_EQ(reply.block.result, 0);
    EXPECT_EQ(reply.block.dataSize, 4u);
    EXPECT_EQ(reply.block.dataType, kFloatType);

    reply =
        call(*connection, {.key = kTG0D, .dataSize = 4, .dataType = kFloatType, .command = kSMCReadBytes});
    EXPECT_EQ(reply.status, 0);
    EXPECT_EQ(reply.block.bytes[2], 0x28);
    EXPECT_EQ(reply.block.bytes[3], 0x42);

    // A value that is not as long as the key info said is not passed on.
    reply =
        call(*connection, {.key = kTG0D, .dataSize = 2, .dataType = kFloatType, .command = kSMCReadBytes});
    EXPECT_NE(reply.status, 0);
}

// The selected index is one for the whole machine: a value read after another process moved it
// belongs to another key.
TEST_F(AppleSMCServiceTest, ASelectionMovedBeforeTheReadFailsTheCall) {
    tree.write(file("key_at_index_type"), "flt \n");
    tree.write(file("key_at_index_data_length"), "4\n");
    tree.write(file("key_at_index_data"), std::string("\x00\x00\x28\x42", 4));
    bool moveSelection = false;
    const AppleSMCService interleaved(SystemPaths{.root = tree.root()}, [&] {
        if (moveSelection) {
            tree.write(file("key_at_index"), "7\n");
        }
    });
    auto connection = interleaved.open("AppleSMC");
    ASSERT_TRUE(connection);
    const SMCParamBlock requests[] = {
        {.command = kSMCKeyAtIndex, .data32 = 0},
        {.key = kTG0D, .command = kSMCKeyInfo},
        {.key = kTG0D, .dataSize = 4, .dataType = kFloatType, .command = kSMCReadBytes},
    };
    for (const auto& request : requests) {
        moveSelection = false;
        EXPECT_EQ(call(*connection, request).status, 0) << int(request.command);
        moveSelection = true;
        EXPECT_NE(call(*connection, request).status, 0) << int(request.command);
    }
}

TEST_F(AppleSMCServiceTest, AKeyTheDriverDoesNotListIsNotFound) {
    auto connection = service.open("AppleSMC");
    ASSERT_TRUE(connection);
    for (const auto command : {kSMCKeyInfo, kSMCReadBytes}) {
        const auto reply = call(*connection, {.key = 0x50473052, .dataSize = 4, .command = command}); // PG0R
        EXPECT_EQ(reply.status, 0);
        EXPECT_EQ(reply.block.result, kSMCResultKeyNotFound);
    }
}

TEST_F(AppleSMCServiceTest, UnreadableOrMalformedFilesFailTheCall) {
    auto connection = service.open("AppleSMC");
    ASSERT_TRUE(connection);
    tree.write(file("key_at_index_type"), "sp78"); // no newline: cut short
    EXPECT_NE(call(*connection, {.key = kTG0D, .command = kSMCKeyInfo}).status, 0);

    tree.write(file("key_at_index_name"), "TG0DX\n");
    EXPECT_NE(call(*connection, {.command = kSMCKeyAtIndex, .data32 = 0}).status, 0);

    tree.makeUnreadable(file("key_count"));
    EXPECT_NE(call(*connection, {.command = kSMCKeyCount}).status, 0);
    EXPECT_NE(call(*connection, {.command = 6}).status, 0);
}

} // namespace
} // namespace tarsik::platform
