#include "texts/sample_reports.h"
#include "texts/text_report.h"

#include <gtest/gtest.h>

namespace tarsik {
namespace {

TEST(TextReport, EachGpusReportThenItsReadings) {
    const auto at = std::chrono::system_clock::time_point{};
    auto gpus = testing::workstationReports();
    gpus[0].readings.resize(2);
    const auto text = textReport(gpus, at);
    EXPECT_TRUE(text.starts_with("Tarsik Validation Report\nGenerated: 1970-01-01 00:00:00 +0000\n")) << text;
    EXPECT_NE(text.find("Display: HDMI-A-1 - Unknown\n\nGPU Name: AMD Radeon RX 6800 XT  | \n"
                        "VRAM / Working Set: 16 GB  | \n\nTarsik Validation Report\n"),
              std::string::npos)
        << text;
    EXPECT_TRUE(text.ends_with("Display: LG \"UltraFine\" - 2560 x 1440\n\n"
                               "Sensor readings: not ready before the deadline\n"))
        << text;
    EXPECT_EQ(textReport({}, at), "No GPU detected\n");
}

} // namespace
} // namespace tarsik
