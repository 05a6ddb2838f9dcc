#include "platform/drm/edid.h"

#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

namespace tarsik::platform {
namespace {

std::string fixtureText(const std::string& name) {
    std::ifstream file(std::string(TARSIK_FIXTURES_DIR) + "/edid/" + name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string edidBytes(const std::string& sample) {
    std::istringstream hex(fixtureText(sample + ".hex"));
    std::string bytes;
    for (std::string pair; hex >> pair;) {
        bytes += static_cast<char>(std::stoi(pair, nullptr, 16));
    }
    return bytes;
}

std::optional<std::string> decoded(const std::string& text, const std::string& pattern) {
    std::smatch match;
    if (std::regex_search(text, match, std::regex(pattern))) {
        return match[1].str();
    }
    return std::nullopt;
}

struct Sample {
    const char* name;
    const char* preferred;
};

// Every field is checked against what edid-decode read from the same blob; the preferred timing
// is given here because edid-decode does not name one when the EDID marks none.
class RealEDID : public ::testing::TestWithParam<Sample> {};

TEST_P(RealEDID, AgreesWithEDIDDecode) {
    const auto& sample = GetParam();
    const auto reference = fixtureText(std::string(sample.name) + ".edid-decode.txt");
    const auto edid = parseEDID(edidBytes(sample.name));
    ASSERT_TRUE(edid.has_value());

    EXPECT_EQ(edid->manufacturerId, decoded(reference, R"(Manufacturer: (\w{3}))"));
    EXPECT_EQ(std::to_string(edid->productCode), decoded(reference, R"(Model: (\d+))"));
    EXPECT_EQ(edid->monitorName, decoded(reference, R"(Display Product Name: '([^']*)')"));
    if (const auto serial = decoded(reference, R"(Display Product Serial Number: '([^']*)')")) {
        EXPECT_EQ(edid->serialText, *serial);
    } else {
        // The collection hides some serials from its decoded text, not from the blob.
        EXPECT_EQ(edid->serialText.has_value(),
                  reference.find("Display Product Serial Number: ...") != std::string::npos);
    }
    if (const auto serial = decoded(reference, R"(    Serial Number: (\d+))")) {
        EXPECT_EQ(std::to_string(edid->serialNumber), *serial);
    }
    ASSERT_TRUE(edid->year.has_value());
    EXPECT_EQ(std::to_string(*edid->year), decoded(reference, R"(Made in: (?:week \d+ of )?(\d{4}))"));
    ASSERT_TRUE(edid->imageSizeCm.has_value());
    EXPECT_EQ(std::to_string(edid->imageSizeCm->width) + " cm x " +
                  std::to_string(edid->imageSizeCm->height) + " cm",
              decoded(reference, R"(Maximum image size: (\d+ cm x \d+ cm))"));
    ASSERT_TRUE(edid->preferredTiming.has_value());
    EXPECT_EQ(std::to_string(edid->preferredTiming->width) + "x" +
                  std::to_string(edid->preferredTiming->height),
              sample.preferred);
}

INSTANTIATE_TEST_SUITE_P(
    TenMonitors, RealEDID,
    ::testing::Values(Sample{"aoc_1670w_analog", "1366x768"},
                      // EDID 1.3 without the preferred-timing flag: the native mode is the second DTD.
                      Sample{"apple_cinema_hd_30", "2560x1600"},
                      // One tile of the panel; the whole panel is only described in DisplayID.
                      Sample{"apple_imac5k_internal_tiled", "2560x2880"},
                      Sample{"apple_powerbook_color_lcd", "1280x854"}, Sample{"asus_rog_pg279q", "2560x1440"},
                      Sample{"auo_b133han_laptop_noname", "1920x1080"}, Sample{"dell_d1918h", "1366x768"},
                      Sample{"dell_u2720q", "3840x2160"}, Sample{"dell_up3218k_8k_tiled", "3840x2160"},
                      Sample{"lg_ultrafine_4k", "3840x2160"}),
    [](const auto& sample) { return std::string(sample.param.name); });

TEST(EDID, RejectsWhatIsNotAValidBaseBlock) {
    const auto good = edidBytes("dell_u2720q");
    EXPECT_FALSE(parseEDID("").has_value()) << "a connector without EDID has a zero-length file";
    EXPECT_FALSE(parseEDID(good.substr(0, 127)).has_value()) << "truncated";
    auto badHeader = good;
    badHeader[1] = 0;
    badHeader[127] = static_cast<char>(badHeader[127] + 0xff); // checksum still right
    EXPECT_FALSE(parseEDID(badHeader).has_value());
    auto badChecksum = good;
    badChecksum[0x50] ^= 0x01;
    EXPECT_FALSE(parseEDID(badChecksum).has_value());
    EXPECT_FALSE(parseEDID(std::string(4096, '\xff')).has_value());
}

TEST(EDID, ReadsTheBaseBlockOfAnOversizedBlob) {
    const auto edid = parseEDID(edidBytes("dell_u2720q").substr(0, 128) + std::string(1 << 20, '\x5a'));
    ASSERT_TRUE(edid.has_value());
    EXPECT_EQ(edid->monitorName, "DELL U2720Q");
}

// Writes a descriptor and fixes the checksum, so the block stays valid.
std::string withDescriptor(std::string block, std::size_t offset, std::string_view descriptor) {
    block.replace(offset, descriptor.size(), descriptor);
    unsigned sum = 0;
    for (std::size_t i = 0; i < 127; ++i) {
        sum += static_cast<unsigned char>(block[i]);
    }
    block[127] = static_cast<char>((256 - sum % 256) % 256);
    return block;
}

TEST(EDID, KeepsOnlyPrintableNameTextAndIgnoresAnInvalidManufacturer) {
    auto block = edidBytes("dell_u2720q").substr(0, 128);
    // The name descriptor is the third: control bytes and high bytes are dropped, text stops at LF.
    block = withDescriptor(block, 90,
                           std::string("\0\0\0\xfc\0A\x01\xc3\xa9"
                                       "B\nZZZZZZZ",
                                       18));
    block[8] = static_cast<char>(0x80); // reserved bit set
    block = withDescriptor(block, 0, std::string_view());
    const auto edid = parseEDID(block);
    ASSERT_TRUE(edid.has_value());
    EXPECT_EQ(edid->monitorName, "AB");
    EXPECT_FALSE(edid->manufacturerId.has_value());
}

} // namespace
} // namespace tarsik::platform
