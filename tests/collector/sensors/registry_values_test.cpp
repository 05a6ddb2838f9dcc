#include "collector/sensors/registry_values.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>

namespace tarsik {
namespace {

using platform::PropertyValue;
using ::testing::DoubleEq;
using ::testing::Optional;

constexpr auto temperature = RegistryKind::temperature;
constexpr auto power = RegistryKind::power;
constexpr auto fan = RegistryKind::fan;
constexpr auto clock = RegistryKind::clock;
constexpr auto load = RegistryKind::load;

std::optional<double> fromBytes(std::initializer_list<std::uint8_t> bytes, RegistryKind kind) {
    const std::vector<std::uint8_t> block(bytes);
    return numericFromData(block, kind);
}

TEST(RegistryValues, NumbersTakeTheFirstPlausibleUnit) {
    struct Case {
        double value;
        RegistryKind kind;
        double expected;
    };
    const Case cases[] = {
        {45000, temperature, 45},     // millidegrees
        {4500, temperature, 45},      // centidegrees
        {20000, temperature, 78.125}, // /256 comes before /1000 for temperatures
        {150, temperature, 1.5},      // the first plausible candidate wins, even if odd
        {-20, temperature, -20},
        {130, temperature, 130},
        {150000, power, 150}, // milliwatts
        {35, power, 35},
        {1000, power, 1000},
        {12000, fan, 12000},
        {1500000, fan, 15000},
        {1.5e9, clock, 1500}, // hertz
        {800, clock, 800},
        {7000, clock, 7000}, // a GDDR6X memory clock as the driver reports it, not 7 MHz
        {0.42, load, 0.42},
        {255, load, 2.55}, // /100 before /255
    };
    for (const auto& c : cases) {
        EXPECT_THAT(normalizedRegistryNumber(c.value, c.kind), Optional(DoubleEq(c.expected))) << c.value;
    }
    EXPECT_EQ(normalizedRegistryNumber(2.1e10, clock), std::nullopt);
    EXPECT_EQ(normalizedRegistryNumber(-100000, temperature), std::nullopt);
    EXPECT_EQ(normalizedRegistryNumber(std::numeric_limits<double>::infinity(), power), std::nullopt);
    EXPECT_EQ(normalizedRegistryNumber(std::numeric_limits<double>::quiet_NaN(), load), std::nullopt);
}

TEST(RegistryValues, TextsReadTheirFirstNumber) {
    EXPECT_THAT(numericFromString("45 C"), Optional(45.0));
    EXPECT_THAT(numericFromString("Temp: 61,5"), Optional(61.5));
    EXPECT_THAT(numericFromString("-3.25"), Optional(-3.25));
    EXPECT_THAT(numericFromString(".5"), Optional(0.5));
    EXPECT_EQ(numericFromString("1,234.5"), std::nullopt) << "two points";
    EXPECT_EQ(numericFromString("a-b5"), std::nullopt) << "stops at b with only the minus";
    EXPECT_EQ(numericFromString("-"), std::nullopt);
    EXPECT_EQ(numericFromString("5-3"), std::nullopt);
    EXPECT_EQ(numericFromString("N/A"), std::nullopt);
    EXPECT_EQ(numericFromString(""), std::nullopt);
    EXPECT_EQ(numericFromString(std::string(5000, '9')), std::nullopt) << "beyond any double";
    EXPECT_THAT(numericFromString(std::string(5000, 'x') + "42"), Optional(42.0));
}

TEST(RegistryValues, DataBlocksTryTheFirstByteThenWordsInBothOrders) {
    EXPECT_EQ(fromBytes({}, temperature), std::nullopt);
    EXPECT_THAT(fromBytes({0x2D, 0x00}, temperature), Optional(45.0));
    EXPECT_THAT(fromBytes({0x00, 0x2D}, temperature), Optional(0.0)) << "the first byte alone is in range";
    EXPECT_THAT(fromBytes({0xFF, 0x00}, temperature), Optional(-1.0)) << "big-endian signed 8.8";
    EXPECT_THAT(fromBytes({0xC8, 0x00}, temperature), Optional(DoubleEq(0.78125))) << "little-endian 8.8";
    EXPECT_THAT(fromBytes({0xFF, 0xFF, 0xFF}, load), Optional(DoubleEq(65.535))) << "big-endian word / 1000";
    // A word divided by 1000 lies within every range, so longer blocks end with the word readings.
    EXPECT_THAT(fromBytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0}, temperature),
                Optional(DoubleEq(-0.00390625)));
}

TEST(RegistryValues, ValuesDispatchOnTheirKind) {
    EXPECT_THAT(registryNumericValue(PropertyValue(45000.0), temperature), Optional(45.0));
    EXPECT_THAT(registryNumericValue(PropertyValue(std::string("150000 mW")), power), Optional(150.0));
    EXPECT_EQ(registryNumericValue(PropertyValue(std::string("none")), power), std::nullopt);
    EXPECT_THAT(registryNumericValue(PropertyValue(PropertyValue::Data{0x2D}), temperature), Optional(45.0));
    EXPECT_EQ(registryNumericValue(PropertyValue(PropertyValue::Array{PropertyValue(1.0)}), load),
              std::nullopt);
    EXPECT_EQ(registryNumericValue(PropertyValue(), load), std::nullopt);
}

TEST(RegistryValues, NamesComeFromTheWordTableThenTheKind) {
    EXPECT_EQ(registrySensorName("e", "C", "PerformanceStatistics.Total_Power(W)", power), "GPU Power");
    EXPECT_EQ(registrySensorName("e", "C", "PerformanceStatistics.Device Utilization %", load), "GPU Load");
    EXPECT_EQ(registrySensorName("e", "C", "Memory-Clock(MHz)", clock), "Memory Clock");
    EXPECT_EQ(registrySensorName("e", "C", "Sensors.TG0D", temperature), "GPU 0 Die");
    EXPECT_EQ(registrySensorName("e", "C", "PG1V", power), "GPU 1 VRAM");
    EXPECT_EQ(registrySensorName("e", "C", "Stats.hot_spot_temp", temperature), "Hot Spot Temp");
    EXPECT_EQ(registrySensorName("e", "C", "Stats.___", fan), "Fan Speed");
    EXPECT_EQ(registrySensorName("e", "C", "Stats.shader clock(MHz)", clock), "Shader Clock(mhz)");
    EXPECT_EQ(registrySensorName("e", "C", "List[0]", load), "List[0]");
}

TEST(RegistryValues, PrettyNames) {
    EXPECT_EQ(prettyRegistryName("fan_speed-level", "x"), "Fan Speed Level");
    EXPECT_EQ(prettyRegistryName("\n gpu  vram smc \n", "x"), "GPU VRAM SMC");
    EXPECT_EQ(prettyRegistryName("   ", "Fallback"), "Fallback");
}

} // namespace
} // namespace tarsik
