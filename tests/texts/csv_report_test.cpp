#include "texts/csv_report.h"
#include "texts/sample_reports.h"

#include <gtest/gtest.h>

namespace tarsik {
namespace {

using namespace std::chrono;

const auto sampleTime =
    sys_days{year{2026} / 12 / 5} + hours{4} + minutes{46} + seconds{12} + milliseconds{34};

// Each column in its own unit from the measurement (power 72.512, not the shown 72.5; bytes, not
// GB); a late GPU and a sleeping one keep their place with empty cells.
TEST(CsvReport, OneLinePerGPUInTheColumnsUnits) {
    EXPECT_EQ(csvHeader(), "timestamp,slot,gpu,temperature_celsius,power_watts,fan_rpm,core_clock_mhz,"
                           "memory_clock_mhz,load_percent,junction_temperature_celsius,"
                           "memory_temperature_celsius,memory_used_bytes,fan_duty_percent,power_limit_watts,"
                           "package_power_watts,runtime_suspended\n");
    EXPECT_EQ(csvRows(testing::workstationReports(), sampleTime),
              "2026-12-05T04:46:12.034Z,0000:03:00.0,AMD Radeon RX 6800 XT,45,72.512,1200,2250,1000.5,45,52,,"
              "6818321203,43.92156862745098,,,0\n"
              "2026-12-05T04:46:12.034Z,0000:01:00.0,NVIDIA RTX A4000,,,,,,,,,,,,,\n"
              "2026-12-05T04:46:12.034Z,0000:0a:00.0,AMD Radeon RX 6650M,,,,,,,,,,,,,1\n");
    EXPECT_EQ(csvRows({GPUReport{.device = noGPUPlaceholder()}}, sampleTime), "");
}

// A sleeping GPU's last readings are stale: only its sleep state is written.
TEST(CsvReport, SleepingGPUGivesNoNumbers) {
    auto gpus = testing::workstationReports();
    gpus[0].readings.back().measurement->value = 1;
    const auto row = csvRows({gpus[0]}, sampleTime);
    EXPECT_EQ(row, "2026-12-05T04:46:12.034Z,0000:03:00.0,AMD Radeon RX 6800 XT,,,,,,,,,,,,,1\n");
}

TEST(CsvReport, FieldsQuotedAsRfc4180) {
    EXPECT_EQ(csvField("plain name"), "plain name");
    EXPECT_EQ(csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(csvField("LG \"UltraFine\""), "\"LG \"\"UltraFine\"\"\"");
    EXPECT_EQ(csvField("two\nlines"), "\"two\nlines\"");
    auto gpus = testing::workstationReports();
    gpus.resize(1);
    gpus[0].device.name = "Radeon, \"XT\"";
    EXPECT_NE(csvRows(gpus, sampleTime).find(",\"Radeon, \"\"XT\"\"\",45,"), std::string::npos);
}

} // namespace
} // namespace tarsik
