#include "collector/gpu_info_collector.h"
#include "collector/inventory/inventory_texts.h"
#include "collector/text_case.h"

#include <array>

namespace tarsik {

std::string GPUInfoCollector::metalSummary(const platform::GPUDeviceInfo& device) {
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
    const auto lower = lowerCased(name);
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
        auto device = metalOnlyRecord(info);
        device.raw["Fast Startup Source"] = "Metal";
        device.raw["Recommended Max Working Set"] = device.vram;
        devices.push_back(std::move(device));
    }
    if (devices.empty()) {
        devices.push_back(noGPUPlaceholder());
    }
    return devices;
}

GPUDevice metalOnlyRecord(const platform::GPUDeviceInfo& info) {
    GPUDevice device{
        .name = info.name,
        // The bus knows the maker for certain; the name's keywords are a guess.
        .vendor = info.vendorName.empty() ? GPUInfoCollector::vendor(info.name) : info.vendorName,
        .chipsetModel = info.name,
        .type = info.isLowPower ? "Integrated" : "Discrete",
        .bus = "Metal",
        .pciDeviceID = "Unknown",
        .pciRevisionID = "Unknown",
        .vram = workingSetText(info.recommendedMaxWorkingSetSize),
        .vramBytes = info.recommendedMaxWorkingSetSize,
        .metalFamily = GPUInfoCollector::metalSummary(info),
        .raw =
            {
                {"Metal Device Name", info.name},
                {"Unified Memory", yesNo(info.hasUnifiedMemory)},
                {"Low Power", yesNo(info.isLowPower)},
                {"Removable", yesNo(info.isRemovable)},
            },
    };
    if (!info.busAddress.empty()) {
        device.raw[pciSlotKey] = info.busAddress;
    }
    return device;
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
