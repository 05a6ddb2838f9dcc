#include "texts/sensor_debug_text.h"

#include <gtest/gtest.h>

namespace tarsik {
namespace {

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
