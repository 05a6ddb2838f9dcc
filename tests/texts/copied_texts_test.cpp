// The plain texts the window copies to the clipboard: the validation report and the sensor lines.
#include "texts/sample_reports.h"
#include "texts/sensor_debug_text.h"
#include "texts/validation_report.h"

#include <gtest/gtest.h>

namespace tarsik {
namespace {

// 2026-12-05 04:46:12.750 UTC
const auto generatedAt = std::chrono::system_clock::time_point(std::chrono::milliseconds(1796445972750));

TEST(ValidationReport, ListsTheFieldsThenOneLinePerDisplay) {
    auto gpu = testing::workstationReports().front().device;
    EXPECT_EQ(validationReport(&gpu, generatedAt), "Tarsik Validation Report\n"
                                                   "Generated: 2026-12-05 04:46:12 +0000\n"
                                                   "GPU: AMD Radeon RX 6800 XT\n"
                                                   "Vendor: AMD\n"
                                                   "Chipset: AMD Radeon RX 6800 XT\n"
                                                   "Type: Discrete\n"
                                                   "Bus: PCIe\n"
                                                   "Device ID: 0x73bf\n"
                                                   "Revision ID: 0x00c1\n"
                                                   "VRAM: 16 GB\n"
                                                   "Metal: Supported\n"
                                                   "Displays: 2\n"
                                                   "Display: DELL U2720Q - 3840 x 2160\n"
                                                   "Display: HDMI-A-1 - Unknown");
    gpu.displays.clear();
    EXPECT_TRUE(validationReport(&gpu, generatedAt).ends_with("Metal: Supported\nDisplays: 0"));
}

TEST(SensorDebugText, OneLinePerReadingNothingTrimmed) {
    EXPECT_EQ(sensorDebugText({}), "");
    EXPECT_EQ(
        sensorDebugText({SensorReading{.name = "GPU Name", .value = "Radeon"},
                         SensorReading{.name = "GPU Power", .value = "45", .unit = "W", .note = "hwmon"}}),
        "GPU Name: Radeon  | \nGPU Power: 45 W | hwmon");
    EXPECT_EQ(sensorDebugText({SensorReading{}, SensorReading{}}), ":   | \n:   | ");
}

} // namespace
} // namespace tarsik
