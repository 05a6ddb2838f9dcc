#include "collector/sensors/sensor_naming.h"

#include <gtest/gtest.h>
#include <limits>

namespace tarsik {
namespace {

TEST(SensorNaming, TemperatureNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"TG2D", "GPU 2 Die"},      {"TGBp", "GPU 11 Proximity Raw"},  {"TG0E", "GPU 0 Die Filtered"},
        {"TG0h", "GPU 0 Heatsink"}, {"TGaf", "GPU 10 Fan/Power Temp"}, {"TG1X", "GPU 1X Die"},
        {"TGZT", "GPU Z Temp"},     {"TG0", "GPU Temperature"},        {"TC0P", "GPU Temperature"},
    };
    for (const auto& [key, name] : cases) {
        EXPECT_EQ(temperatureSensorName(key), name) << key;
    }
}

TEST(SensorNaming, PowerNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"PG1V", "GPU 1 VRAM"},   {"PGAR", "GPU 10 Total"},   {"PGZQ", "GPU Power PGZQ"},
        {"PG1", "GPU Power PG1"}, {"PSTR", "GPU Power PSTR"},
    };
    for (const auto& [key, name] : cases) {
        EXPECT_EQ(powerSensorName(key), name) << key;
    }
}

TEST(SensorNaming, ValuesRoundToOneDecimalAndDropANearWholeDecimal) {
    const std::pair<double, const char*> cases[] = {
        {45.0, "45"},  {45.25, "45.3"}, {45.96, "46"}, {7.04, "7"},     {129.9, "129.9"},
        {0.05, "0.1"}, {0.04, "0"},     {-0.04, "-0"}, {-0.25, "-0.3"}, {0.0, "0"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(formatSensorValue(value), text) << value;
    }
    EXPECT_EQ(formatSensorValue(1e300).size(), 301u) << "all digits, nothing cut off";
    EXPECT_EQ(formatSensorValue(std::numeric_limits<double>::infinity()), "inf");
}

} // namespace
} // namespace tarsik
