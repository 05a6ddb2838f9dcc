#include "texts/json_report.h"
#include "texts/sample_reports.h"

#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <valijson/adapters/nlohmann_json_adapter.hpp>
#include <valijson/schema.hpp>
#include <valijson/schema_parser.hpp>
#include <valijson/validator.hpp>

namespace tarsik {
namespace {

using Json = nlohmann::json;

// 2026-12-05 04:46:12.750 UTC
const auto generatedAt = std::chrono::system_clock::time_point(std::chrono::milliseconds(1796445972750));

Json report(const std::vector<GPUReport>& gpus) {
    const auto text = jsonReport(gpus, generatedAt);
    EXPECT_TRUE(text.ends_with("}\n"));
    return Json::parse(text);
}

// Every violation of docs/tarsik-report.schema.json, one per line; empty when the document is valid.
std::string schemaViolations(const Json& document) {
    static const auto schema = [] {
        auto parsed = std::make_unique<valijson::Schema>();
        const auto json = Json::parse(std::ifstream(TARSIK_REPORT_SCHEMA));
        valijson::SchemaParser().populateSchema(valijson::adapters::NlohmannJsonAdapter(json), *parsed);
        return parsed;
    }();
    valijson::ValidationResults results;
    valijson::Validator().validate(*schema, valijson::adapters::NlohmannJsonAdapter(document), &results);
    std::string violations;
    valijson::ValidationResults::Error error;
    while (results.popError(error)) {
        for (const auto& part : error.context) {
            violations += part;
        }
        violations += ": " + error.description + '\n';
    }
    return violations;
}

TEST(JsonReport, ListsEachGPUWithItsMeasurementsOnly) {
    const auto document = report(testing::workstationReports());
    EXPECT_EQ(document["generated"], "2026-12-05T04:46:12Z");
    ASSERT_EQ(document["gpus"].size(), 3u);
    // Values are the source's numbers in base units, never the rounded text read back.
    EXPECT_EQ(document["gpus"][0], Json::parse(R"({
        "pciSlot": "0000:03:00.0", "name": "AMD Radeon RX 6800 XT", "vendor": "AMD",
        "chipset": "AMD Radeon RX 6800 XT", "type": "Discrete", "bus": "PCIe", "deviceId": "0x73bf",
        "revisionId": "0x00c1", "vram": "16 GB", "metal": "Supported",
        "displays": [
            {"name": "DELL U2720Q", "resolution": "3840 x 2160", "main": true, "online": true},
            {"name": "HDMI-A-1", "resolution": "Unknown", "main": false, "online": false}],
        "runtimeSuspended": false,
        "readings": [
            {"kind": "temperature", "name": "GPU Temperature", "value": 45, "unit": "°C", "source": "IORegistry PerformanceStatistics", "origin": "hwmon/hwmon3/temp1_input"},
            {"kind": "power", "name": "GPU Power", "value": 72.512, "unit": "W", "source": "IORegistry PerformanceStatistics", "origin": "hwmon/hwmon3/power1_average"},
            {"kind": "fan", "name": "Fan Speed", "value": 1200, "unit": "RPM", "source": "IORegistry PerformanceStatistics", "origin": "hwmon/hwmon3/fan1_input"},
            {"kind": "coreClock", "name": "Core Clock", "value": 2250, "unit": "MHz", "source": "IORegistry PerformanceStatistics", "origin": "hwmon/hwmon3/freq1_input"},
            {"kind": "memoryClock", "name": "Memory Clock", "value": 1000.5, "unit": "MHz", "source": "IORegistry PerformanceStatistics", "origin": "hwmon/hwmon3/freq2_input"},
            {"kind": "load", "name": "GPU Load", "value": 45, "unit": "%", "source": "IORegistry PerformanceStatistics", "origin": "gpu_busy_percent"},
            {"kind": "junctionTemperature", "name": "Junction Temperature", "value": 52, "unit": "°C", "source": "hwmon/hwmon3/temp2_input", "origin": "hwmon/hwmon3/temp2_input"},
            {"kind": "memoryUsed", "name": "Memory Used", "value": 6818321203, "unit": "B", "source": "mem_info_vram_used", "origin": "mem_info_vram_used"},
            {"kind": "fanDuty", "name": "Fan Duty", "value": 43.92156862745098, "unit": "%", "source": "hwmon/hwmon3/pwm1", "origin": "hwmon/hwmon3/pwm1"},
            {"kind": "voltage", "name": "vddgfx", "value": 0.806, "unit": "V", "source": "hwmon/hwmon3/in0_input", "origin": "hwmon/hwmon3/in0_input"}],
        "properties": {"PCI Slot": "0000:03:00.0", "driver": "amdgpu"}
    })"));
    EXPECT_EQ(document["gpus"][1]["readings"], Json::array());
    EXPECT_EQ(document["gpus"][1]["runtimeSuspended"], false) << "late readings say nothing of sleep";
    EXPECT_EQ(document["gpus"][2]["readings"], Json::array()) << "a sleeping GPU has no measurements";
    EXPECT_EQ(document["gpus"][2]["runtimeSuspended"], true);
    // An online display that is not the main one: each flag stands for itself.
    EXPECT_EQ(document["gpus"][1]["displays"], Json::parse(R"([
        {"name": "LG \"UltraFine\"", "resolution": "2560 x 1440", "main": false, "online": true}])"));
}

TEST(JsonReport, EdgeCasesStayWithinTheSchema) {
    auto gpus = testing::workstationReports();
    EXPECT_EQ(schemaViolations(report(gpus)), "");

    gpus[0].device.raw = {{"EDID Name", "bad \xff byte"}};                 // no slot; not UTF-8
    gpus[0].readings = {{.name = "GPU Load", .value = "N/A", .unit = "%"}, // no number
                        {.name = "GPU Load", .value = "12", .unit = "percent"}};
    gpus.push_back(GPUReport{.device = noGPUPlaceholder()});
    const auto document = report(gpus);
    EXPECT_EQ(schemaViolations(document), "");
    EXPECT_FALSE(document["gpus"][0].contains("pciSlot"));
    EXPECT_EQ(document["gpus"][0]["properties"]["EDID Name"], "bad \uFFFD byte");
    EXPECT_EQ(document["gpus"][0]["readings"], Json::array());
    EXPECT_EQ(document["gpus"].size(), 3u) << "the placeholder is no GPU";
    EXPECT_EQ(report({GPUReport{.device = noGPUPlaceholder()}})["gpus"], Json::array());
}

TEST(JsonReport, SchemaRejectsWhatTheReportNeverPrints) {
    const auto valid = report(testing::workstationReports());
    const std::vector<std::pair<Json::json_pointer, Json>> faults{
        {Json::json_pointer("/generated"), "2026-12-05 04:46:12 +0000"},
        {Json::json_pointer("/gpus/0/readings/0/value"), "45"},
        {Json::json_pointer("/gpus/0/readings/0/kind"), "throttle"},
        {Json::json_pointer("/gpus/0/readings/7/unit"), "GB"},
        {Json::json_pointer("/gpus/2/runtimeSuspended"), "Yes"},
        {Json::json_pointer("/gpus/0/displays/0/main"), "Yes"},
        {Json::json_pointer("/gpus/0/properties/driver"), 1},
        {Json::json_pointer("/gpus/0/extra"), true},
    };
    for (const auto& [pointer, value] : faults) {
        auto document = valid;
        document[pointer] = value;
        EXPECT_NE(schemaViolations(document), "") << pointer.to_string();
    }
    auto document = valid;
    document["gpus"][1].erase("name");
    EXPECT_NE(schemaViolations(document), "") << "a missing field";
    document = valid;
    document["gpus"][0]["readings"][0].erase("origin");
    EXPECT_NE(schemaViolations(document), "") << "a reading without its origin";
}

} // namespace
} // namespace tarsik
