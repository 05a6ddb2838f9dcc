#include "platform/byte_count.h"

#include <gtest/gtest.h>

namespace tarsik::platform {
namespace {

TEST(ByteCount, FormatsIn1024BasedUnits) {
    constexpr std::uint64_t KiB = 1024, MiB = KiB * 1024, GiB = MiB * 1024;
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0 bytes"},
        {1, "1 byte"},
        {1023, "1023 bytes"},
        {KiB, "1 KB"},
        {1536, "2 KB"}, // whole kilobytes, halves round up
        {1536 * KiB, "1.5 MB"},
        {MiB - 1, "1 MB"}, // rounds to 1024 KB: moves up a unit
        {8 * GiB, "8 GB"},
        {8 * GiB - 20 * MiB, "7.98 GB"},
        {17163091968, "15.98 GB"}, // an RX 6800 XT's usable VRAM
        {GiB * 1024 * 3, "3 TB"},
        {UINT64_MAX, "16384 PB"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(formatByteCount(bytes), text) << bytes;
    }
}

} // namespace
} // namespace tarsik::platform
