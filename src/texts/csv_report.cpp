#include "texts/csv_report.h"

#include "texts/report_values.h"

#include <algorithm>
#include <array>

namespace tarsik {
namespace {

// The measured kinds in column order. Every measurement is already in its column's unit.
struct Column {
    std::string_view name;
    std::string_view kind;
};

constexpr std::array<Column, 12> readingColumns{{
    {"temperature_celsius", "temperature"},
    {"power_watts", "power"},
    {"fan_rpm", "fan"},
    {"core_clock_mhz", "coreClock"},
    {"memory_clock_mhz", "memoryClock"},
    {"load_percent", "load"},
    {"junction_temperature_celsius", "junctionTemperature"},
    {"memory_temperature_celsius", "memoryTemperature"},
    {"memory_used_bytes", "memoryUsed"},
    {"fan_duty_percent", "fanDuty"},
    {"power_limit_watts", "powerLimit"},
    {"package_power_watts", "packagePower"},
}};

std::string rowOf(const GPUReport& report, const std::string& timestamp) {
    const auto* slot = pciSlotOf(report.device);
    std::string row = timestamp + ',' + csvField(slot ? *slot : "") + ',' + csvField(report.device.name);
    const auto suspended = runtimeSuspended(report.readings);
    const auto measured = measuredReadings(report.readings);
    for (const auto& column : readingColumns) {
        row += ',';
        if (suspended.value_or(false)) {
            continue;
        }
        // Discovery keeps one reading per kind; the first is the one the window shows.
        const auto found = std::find_if(measured.begin(), measured.end(), [&column](const auto& reading) {
            return reading.kind == column.kind;
        });
        if (found != measured.end()) {
            row += plainNumber(found->value());
        }
    }
    row += ',';
    if (suspended) {
        row += *suspended ? '1' : '0';
    }
    return row + '\n';
}

} // namespace

std::string csvHeader() {
    std::string header = "timestamp,slot,gpu";
    for (const auto& column : readingColumns) {
        header += ',' + std::string(column.name);
    }
    return header + ",runtime_suspended\n";
}

std::string csvRows(const std::vector<GPUReport>& gpus, std::chrono::system_clock::time_point time) {
    const auto timestamp = isoTimestampWithMilliseconds(time);
    std::string rows;
    for (const auto& report : gpus) {
        if (!isNoGPUPlaceholder(report.device)) {
            rows += rowOf(report, timestamp);
        }
    }
    return rows;
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

} // namespace tarsik
