#include "collector/gpu_info_collector.h"
#include "collector/inventory/inventory_texts.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tarsik {

std::string GPUInfoCollector::metalSummary(const platform::GpuDeviceInfo& device) {
    std::string summary;
    const auto append = [&summary](const char* family) {
        if (!summary.empty()) {
            summary += ", ";
        }
        summary += family;
    };
    if (device.families.metal3) {
        append("Metal 3");
    }
    if (device.families.mac2) {
        append("macOS GPU Family 2");
    }
    if (device.families.mac1) {
        append("macOS GPU Family 1");
    }
    return summary.empty() ? "Supported" : summary;
}

std::string GPUInfoCollector::vendor(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    struct Rule {
        std::array<std::string_view, 4> fragments;
        const char* vendor;
    };
    static constexpr std::array<Rule, 4> rules{{
        {{"amd", "radeon"}, "AMD"},
        {{"nvidia", "geforce", "quadro"}, "NVIDIA"},
        {{"intel", "iris", "uhd", "arc"}, "Intel"},
        {{"apple"}, "Apple"},
    }};
    for (const auto& rule : rules) {
        for (const auto fragment : rule.fragments) {
            if (!fragment.empty() && lower.find(fragment) != std::string::npos) {
                return rule.vendor;
            }
        }
    }
    return "Unknown";
}

std::vector<GPUDevice> GPUInfoCollector::collectFast() const {
    return collectFastSynchronously();
}

std::vector<GPUDevice> GPUInfoCollector::collectFastSynchronously() const {
    std::vector<GPUDevice> devices;
    for (const auto& info : services_.gpuDevices->devices()) {
        const auto workingSet = workingSetText(info.recommendedMaxWorkingSetSize);
        devices.push_back(GPUDevice{
            .name = info.name,
            .vendor = vendor(info.name),
            .chipsetModel = info.name,
            .type = info.isLowPower ? "Integrated" : "Discrete",
            .bus = "Metal",
            .pciDeviceID = "Unknown",
            .pciRevisionID = "Unknown",
            .vram = workingSet,
            .metalFamily = metalSummary(info),
            .raw =
                {
                    {"Fast Startup Source", "Metal"},
                    {"Metal Device Name", info.name},
                    {"Recommended Max Working Set", workingSet},
                    {"Unified Memory", yesNo(info.hasUnifiedMemory)},
                    {"Low Power", yesNo(info.isLowPower)},
                    {"Removable", yesNo(info.isRemovable)},
                },
        });
    }
    if (devices.empty()) {
        devices.push_back(noGPUPlaceholder());
    }
    return devices;
}

std::vector<SensorReading> GPUInfoCollector::basicSensorsSynchronously(const GPUDevice* device) {
    if (device == nullptr) {
        return {};
    }
    return {
        SensorReading{.name = "GPU Name", .value = device->name},
        SensorReading{.name = "VRAM / Working Set",
                      .value = device->vram == "Unknown" ? "N/A" : device->vram},
        SensorReading{.name = "Metal Support", .value = device->metalFamily},
        SensorReading{.name = "Displays Connected", .value = std::to_string(device->displays.size())},
    };
}

} // namespace tarsik
