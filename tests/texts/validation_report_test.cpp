#include "texts/validation_report.h"

#include <gtest/gtest.h>

namespace tarsik {
namespace {

// 2026-12-05 04:46:12.750 UTC
const auto generatedAt = std::chrono::system_clock::time_point(std::chrono::milliseconds(1796445972750));

GPUDevice radeon() {
    return GPUDevice{.name = "AMD Radeon RX 6800 XT",
                     .vendor = "AMD",
                     .chipsetModel = "AMD Radeon RX 6800 XT",
                     .type = "Discrete",
                     .bus = "PCIe",
                     .pciDeviceID = "0x73bf",
                     .pciRevisionID = "0x00c1",
                     .vram = "",
                     .metalFamily = "Supported"};
}

TEST(ValidationReport, ListsTheFieldsThenOneLinePerDisplay) {
    auto gpu = radeon();
    EXPECT_EQ(validationReport(&gpu, generatedAt), "Tarsik Validation Report\n"
                                                   "Generated: 2026-12-05 04:46:12 +0000\n"
                                                   "GPU: AMD Radeon RX 6800 XT\n"
                                                   "Vendor: AMD\n"
                                                   "Chipset: AMD Radeon RX 6800 XT\n"
                                                   "Type: Discrete\n"
                                                   "Bus: PCIe\n"
                                                   "Device ID: 0x73bf\n"
                                                   "Revision ID: 0x00c1\n"
                                                   "VRAM: \n"
                                                   "Metal: Supported\n"
                                                   "Displays: 0");
    gpu.displays = {{.name = "A", .resolution = "2560 x 1440"}, {.name = "B", .resolution = "1920 x 1080"}};
    const auto report = validationReport(&gpu, generatedAt);
    EXPECT_TRUE(report.ends_with("Displays: 2\nDisplay: A - 2560 x 1440\nDisplay: B - 1920 x 1080"))
        << report;
}

TEST(ValidationReport, NoGPUIsOneLine) {
    EXPECT_EQ(validationReport(nullptr, generatedAt), "No GPU detected");
}

TEST(ValidationReport, TimeStampIsUtcWithPaddedFields) {
    EXPECT_EQ(reportTimestamp(std::chrono::system_clock::time_point{}), "1970-01-01 00:00:00 +0000");
    EXPECT_EQ(reportTimestamp(std::chrono::system_clock::time_point(std::chrono::seconds(951782400 + 3723))),
              "2000-02-29 01:02:03 +0000");
}

} // namespace
} // namespace tarsik
