#include "platform/file_reader.h"
#include "support/captured_diagnostics.h"
#include "support/fixture_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarsik::platform {
namespace {

TEST(FileReader, AttributesTolerateMissingNewlinesJunkAndUnreadableFiles) {
    const testing::FixtureTree tree("");
    tree.write("newline", "0x1002\n");
    tree.write("bare", "  42");
    tree.write("empty", "");
    tree.write("junk", "0x10zz\n");
    tree.write("negative", "-5\n");
    tree.write("huge", "18446744073709551616\n"); // 2^64
    tree.makeUnreadable("unreadable");

    EXPECT_EQ(readUnsignedAttribute(tree.path("newline")), 0x1002u);
    EXPECT_EQ(readUnsignedAttribute(tree.path("bare")), 42u);
    EXPECT_EQ(readAttribute(tree.path("empty")), "");
    EXPECT_EQ(readUnsignedAttribute(tree.path("empty")), std::nullopt);
    EXPECT_EQ(readUnsignedAttribute(tree.path("junk")), std::nullopt);
    EXPECT_EQ(readUnsignedAttribute(tree.path("negative")), std::nullopt);
    EXPECT_EQ(readUnsignedAttribute(tree.path("huge")), std::nullopt);
    testing::CapturedDiagnostics diagnostics;
    EXPECT_EQ(readAttribute(tree.path("unreadable")), std::nullopt);
    EXPECT_EQ(readAttribute(tree.path("missing")), std::nullopt);
    EXPECT_EQ(readAttribute(tree.path("newline/below-a-file")), std::nullopt);
    EXPECT_THAT(diagnostics.take(), ::testing::ElementsAre(tree.path("unreadable").string() +
                                                           " could not be read: Is a directory"))
        << "a missing attribute is no event";
}

TEST(FileReader, ReadsAreBounded) {
    const testing::FixtureTree tree("");
    tree.write("big", std::string(10000, 'x'));
    EXPECT_EQ(readFile(tree.path("big"))->size(), 4096u);
    EXPECT_EQ(readFile(tree.path("big"), 20000)->size(), 10000u);
}

TEST(FileReader, WholeTextParsers) {
    EXPECT_EQ(parseHex("0x73BF"), 0x73bfu);
    EXPECT_EQ(parseHex("c1"), 0xc1u);
    EXPECT_EQ(parseHex("0x"), std::nullopt);
    EXPECT_EQ(parseSigned("-40000"), -40000);
    EXPECT_EQ(parseSigned("12 "), std::nullopt);
    EXPECT_EQ(parseUnsigned("+1"), std::nullopt);
}

} // namespace
} // namespace tarsik::platform
