#include "texts/validation_report.h"

#include <cstdio>
#include <ctime>

namespace tarsik {

std::string reportTimestamp(std::chrono::system_clock::time_point time) {
    const std::time_t seconds =
        std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(time));
    std::tm utc{};
    if (::gmtime_r(&seconds, &utc) == nullptr) {
        return "0000-00-00 00:00:00 +0000";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d +0000", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return text;
}

std::string validationReport(const GPUDevice* gpu, std::chrono::system_clock::time_point generatedAt) {
    if (gpu == nullptr) {
        return "No GPU detected";
    }
    std::string report = "Tarsik Validation Report";
    const auto line = [&report](std::string_view label, std::string_view value) {
        report += '\n';
        report += label;
        report += value;
    };
    line("Generated: ", reportTimestamp(generatedAt));
    line("GPU: ", gpu->name);
    line("Vendor: ", gpu->vendor);
    line("Chipset: ", gpu->chipsetModel);
    line("Type: ", gpu->type);
    line("Bus: ", gpu->bus);
    line("Device ID: ", gpu->pciDeviceID);
    line("Revision ID: ", gpu->pciRevisionID);
    line("VRAM: ", gpu->vram);
    line("Metal: ", gpu->metalFamily);
    line("Displays: ", std::to_string(gpu->displays.size()));
    for (const auto& display : gpu->displays) {
        line("Display: ", display.name + " - " + display.resolution);
    }
    return report;
}

} // namespace tarsik
