#include "collector/sensors/sensor_pipeline.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string celsius = "\u00B0C";

SensorReading smc(std::string name, std::string value, std::string unit, std::string key) {
    return SensorReading{.name = std::move(name),
                         .value = std::move(value),
                         .unit = std::move(unit),
                         .note = "SMC key " + key + "."};
}

SensorReading registry(std::string name, std::string value, std::string unit, std::string path) {
    return SensorReading{.name = std::move(name),
                         .value = std::move(value),
                         .unit = std::move(unit),
                         .note = "IORegistry: AMDRadeonGPU." + path};
}

std::vector<std::string> lines(const std::vector<SensorReading>& readings) {
    std::vector<std::string> out;
    for (const auto& r : readings) {
        out.push_back(r.name + "=" + r.value + " " + r.unit + " | " + r.note);
    }
    return out;
}

TEST(SensorPipeline, ProximityBeatsDieAmongSMCTemperatures) {
    const auto ranked = rankedGPUReadings(
        {smc("GPU 0 Die", "51", celsius, "TG0D"), smc("GPU 0 Proximity", "44", celsius, "TG0P")});
    EXPECT_THAT(lines(ranked), ElementsAre("GPU Temperature=44 " + celsius + " | SMC key TG0P."));
}

TEST(SensorPipeline, BetterSourcesAndNamesWinWhateverTheOrder) {
    const auto stats = registry("GPU Temperature", "45", celsius, "PerformanceStatistics.Temperature(C)");
    const auto die = smc("GPU 0 Die", "51", celsius, "TG0D");
    for (const auto& input : {std::vector{stats, die}, std::vector{die, stats}}) {
        const auto ranked = rankedGPUReadings(input);
        ASSERT_EQ(ranked.size(), 1u);
        EXPECT_EQ(ranked[0].value, "45");
    }
    // Without the sort, canonicalisation alone still lets the better score replace the stored one.
    const auto canonical = canonicalGPUReadings({die, stats});
    ASSERT_EQ(canonical.size(), 1u);
    EXPECT_EQ(canonical[0].value, "45");

    // A reading named as a load wins the load kind over another percentage.
    const auto busy = registry("Busy Level", "80", "%", "PerformanceStatistics.Busy Level");
    const auto load = registry("GPU Load", "37", "%", "PerformanceStatistics.Device Utilization %");
    for (const auto& input : {std::vector{busy, load}, std::vector{load, busy}}) {
        const auto ranked = rankedGPUReadings(input);
        ASSERT_EQ(ranked.size(), 1u);
        EXPECT_EQ(ranked[0].value, "37");
    }
}

TEST(SensorPipeline, DuplicatesAreByNameIgnoringCaseAndUnit) {
    const auto unique =
        deduplicateSensorReadings({SensorReading{.name = "GPU Power", .value = "1", .unit = "W"},
                                   SensorReading{.name = "gpu power", .value = "2", .unit = "W"},
                                   SensorReading{.name = "GPU Power", .value = "3", .unit = "%"}});
    ASSERT_EQ(unique.size(), 2u);
    EXPECT_EQ(unique[0].value, "1");
    EXPECT_EQ(unique[1].value, "3");
}

TEST(SensorPipeline, KindsAndCanonicalForms) {
    EXPECT_EQ(canonicalKind(SensorReading{.name = "Mystery"}), std::nullopt);
    EXPECT_EQ(canonicalKind(SensorReading{.name = "Utilization"}), SensorKind::load);
    EXPECT_EQ(
        canonicalKind(SensorReading{.name = "X", .unit = "MHz", .note = "IORegistry: C.Stats.MemoryClock"}),
        SensorKind::memoryClock);

    const auto memory = registry("Memory Clock", "1000", "MHz", "PerformanceStatistics.Memory Clock(MHz)");
    const auto shader = registry("Shader", "2589", "MHz", "PerformanceStatistics.Shader");
    const auto canonical =
        canonicalGPUReadings({SensorReading{.name = "Mystery", .value = "1"}, memory, shader});
    EXPECT_THAT(
        lines(canonical),
        ElementsAre(
            "Core Clock=2589 MHz | IORegistry: AMDRadeonGPU.PerformanceStatistics.Shader",
            "Memory Clock=1000 MHz | IORegistry: AMDRadeonGPU.PerformanceStatistics.Memory Clock(MHz)"));
    EXPECT_NE(canonical[0].id, shader.id) << "a canonical reading is a new record";
}

TEST(SensorPipeline, AtMostOneReadingPerKindInKindOrder) {
    std::vector<SensorReading> all;
    for (int copy = 0; copy < 3; ++copy) {
        const auto suffix = std::to_string(copy);
        all.push_back(smc("GPU " + suffix + " Total", "10", "W", "PG" + suffix + "R"));
        all.push_back(registry("GPU Load " + suffix, "5", "%", "PerformanceStatistics.L" + suffix));
        all.push_back(registry("Fan " + suffix, "900", "RPM", "PerformanceStatistics.F" + suffix));
        all.push_back(registry("Memory Clock " + suffix, "1000", "MHz", "PerformanceStatistics.M" + suffix));
        all.push_back(registry("Core Clock " + suffix, "2000", "MHz", "PerformanceStatistics.C" + suffix));
        all.push_back(smc("GPU " + suffix + " Die", "50", celsius, "TG" + suffix + "D"));
    }
    std::vector<std::string> names;
    for (const auto& reading : rankedGPUReadings(all)) {
        names.push_back(reading.name);
    }
    EXPECT_THAT(names, ElementsAre("GPU Temperature", "GPU Power", "Fan Speed", "Core Clock", "Memory Clock",
                                   "GPU Load"));
    EXPECT_THAT(rankedGPUReadings({}), IsEmpty());
}

} // namespace
} // namespace tarsik
