#include "collector/sensors/registry_scan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

using platform::PropertyValue;
using platform::RegistryEntry;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Optional;

PropertyValue dictionary(std::initializer_list<std::pair<std::string, PropertyValue>> entries) {
    return PropertyValue(PropertyValue::Dictionary(entries));
}

PropertyValue number(double value) {
    return PropertyValue(value);
}

RegistryEntry gpuEntry(PropertyValue properties) {
    return RegistryEntry{
        .name = "0000:03:00.0", .className = "AMDRadeonGPU", .properties = std::move(properties)};
}

std::vector<std::string> keysOf(const FlattenedProperties& flattened) {
    std::vector<std::string> keys;
    for (const auto& [key, value] : flattened) {
        keys.push_back(key);
    }
    return keys;
}

TEST(RegistryScan, FlatteningWritesKeyPathsInDictionaryOrder) {
    const auto properties = dictionary({
        {"Zeta", number(1)},
        {"List", PropertyValue(PropertyValue::Array{number(1), dictionary({{"X", number(2)}})})},
        {"Empty", dictionary({})},
        {"Stats", dictionary({{"Inner", dictionary({{"Leaf", number(3)}})}})},
    });
    EXPECT_THAT(keysOf(flattenRegistryProperties(properties, "", 0)),
                ElementsAre("Zeta", "List[0]", "List[1].X", "Stats.Inner.Leaf"));
}

TEST(RegistryScan, FlatteningStopsAtFourLevelsAndSixtyFourElements) {
    PropertyValue::Array hundred;
    for (int i = 0; i < 100; ++i) {
        hundred.push_back(number(i));
    }
    const auto flattened = flattenRegistryProperties(dictionary({{"A", PropertyValue(hundred)}}), "", 0);
    ASSERT_EQ(flattened.size(), 64u);
    EXPECT_EQ(flattened.back().first, "A[63]");

    const auto deep = dictionary(
        {{"L1", dictionary(
                    {{"L2", dictionary({{"L3", dictionary({{"L4", dictionary({{"L5", number(1)}})}})}})}})}});
    const auto whole = flattenRegistryProperties(deep, "", 0);
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0].first, "L1.L2.L3.L4");
    EXPECT_NE(whole[0].second->dictionary(), nullptr) << "returned whole, not unfolded";
}

TEST(RegistryScan, RelevanceNeedsAProviderAndATopLevelStatisticsKey) {
    const PropertyValue::Dictionary statistics{{"PerformanceStatistics", dictionary({})}};
    EXPECT_TRUE(isGPURelevantRegistryEntry("0000:03:00.0", "AMDRadeonGPU", statistics));
    EXPECT_TRUE(isGPURelevantRegistryEntry("IGPU", "", {{"Die Temp Sensor", number(1)}}));
    EXPECT_FALSE(isGPURelevantRegistryEntry("HDEF", "AppleHDAController", statistics));
    EXPECT_FALSE(isGPURelevantRegistryEntry("GFX0", "AMDRadeonGPU", {{"Info", number(1)}}));
    EXPECT_TRUE(isTrustedGPUProvider("gfx0 nvdagpu"));
    EXPECT_FALSE(isTrustedGPUProvider("NVIDIA")) << "identities are lower-cased before the test";
}

TEST(RegistryScan, KindsFollowTheKeyAndItsPath) {
    const auto kind = [](std::string_view key) { return registrySensorKind("GFX0", "AMDRadeonGPU", key); };
    EXPECT_THAT(kind("Temperature(C)"), Optional(RegistryKind::temperature))
        << "temperature needs no statistics";
    EXPECT_THAT(kind("Sensors.TG0D"), Optional(RegistryKind::temperature)) << "SMC-style key";
    EXPECT_THAT(kind("Sensors.PCPG"), Optional(RegistryKind::power));
    EXPECT_THAT(kind("PG0R"), Optional(RegistryKind::power));
    EXPECT_EQ(kind("Device Utilization %"), std::nullopt) << "outside performance statistics";
    EXPECT_THAT(kind("PerformanceStatistics.Device Utilization %"), Optional(RegistryKind::load));
    EXPECT_THAT(kind("GPU Statistics.fan_speed_rpm"), Optional(RegistryKind::fan));
    EXPECT_THAT(kind("PerformanceStatistics.Memory Clock(MHz)"), Optional(RegistryKind::clock));
    EXPECT_EQ(kind("PerformanceStatistics.GPU Core Clock(MHz)"), std::nullopt) << "gpucoreclock(mhz)";
    EXPECT_EQ(kind("PerformanceStatistics.TG0"), std::nullopt);
    EXPECT_EQ(registrySensorKind("HDEF", "AppleHDAController", "Temperature(C)"), std::nullopt);
}

TEST(RegistryScan, RangesIncludeTheirBoundsAndNothingBeyond) {
    struct Bounds {
        RegistryKind kind;
        double lowest;
        double highest;
    };
    for (const auto& [kind, lowest, highest] : {
             Bounds{RegistryKind::temperature, -20, 130},
             Bounds{RegistryKind::power, 0, 1000},
             Bounds{RegistryKind::fan, 0, 20000},
             Bounds{RegistryKind::clock, 0, 20000},
             Bounds{RegistryKind::load, 0, 100},
         }) {
        EXPECT_TRUE(isPlausibleRegistryNumber(lowest, kind)) << lowest;
        EXPECT_TRUE(isPlausibleRegistryNumber(highest, kind)) << highest;
        EXPECT_FALSE(isPlausibleRegistryNumber(lowest - 0.1, kind)) << lowest;
        EXPECT_FALSE(isPlausibleRegistryNumber(highest + 0.1, kind)) << highest;
    }
}

TEST(RegistryScan, AnEntryGivesOneReadingPerRecognisedValue) {
    const auto entry = gpuEntry(dictionary({
        {"PerformanceStatistics", dictionary({
                                      {"Device Utilization %", number(37)},
                                      {"Temperature(C)", number(45000)},
                                      {"Core Clock(MHz)", PropertyValue(std::string("1,5 GHz"))},
                                      {"Fan Speed(RPM)", PropertyValue(PropertyValue::Data{})},
                                      {"Total Power(W)", number(5000000)},
                                      {"Junction Temperature(C)", number(60)},
                                  })},
        {"Device Utilization %", number(12)},
    }));
    const auto readings = registryEntryReadings(entry);
    std::vector<std::string> lines;
    for (const auto& reading : readings) {
        lines.push_back(reading.name + " " + reading.value + " " + reading.unit + " | " + reading.note);
    }
    const std::string stats = "IORegistry: AMDRadeonGPU.PerformanceStatistics.";
    EXPECT_THAT(lines, ElementsAre("GPU Load 37 % | " + stats + "Device Utilization %",
                                   "GPU Temperature 45 \u00B0C | " + stats + "Temperature(C)",
                                   "Core Clock 1.5 MHz | " + stats + "Core Clock(MHz)"));
    EXPECT_NE(readings[0].id, readings[1].id);
}

TEST(RegistryScan, EntriesWithoutUsableProperties) {
    EXPECT_THAT(registryEntryReadings(gpuEntry(PropertyValue())), IsEmpty());
    EXPECT_THAT(registryEntryReadings(gpuEntry(number(45))), IsEmpty());
    // Irrelevant: the statistics are nested below a key that names none.
    EXPECT_THAT(
        registryEntryReadings(gpuEntry(dictionary(
            {{"Info", dictionary({{"PerformanceStatistics", dictionary({{"Temperature", number(50)}})}})}}))),
        IsEmpty());
    // A provider in the name alone is enough, with nothing between "IORegistry: " and the dot.
    const auto readings = registryEntryReadings(RegistryEntry{
        .name = "nvidia0", .className = "", .properties = dictionary({{"Temperature", number(50)}})});
    ASSERT_EQ(readings.size(), 1u);
    EXPECT_EQ(readings[0].note, "IORegistry: .Temperature");
}

} // namespace
} // namespace tarsik
