#include "collector/gpu_info_collector.h"
#include "collector/inventory/inventory_texts.h"
#include "collector/text_case.h"

#include <algorithm>
#include <optional>

namespace tarsik {
namespace {

// The same GPU as the two sources name it: one name contains the other, or they share a word of
// the profiler's name of four characters or more.
bool namesMatch(const std::string& profilerName, const std::string& listedLower) {
    const auto recordLower = lowerCased(profilerName);
    if (recordLower.find(listedLower) != std::string::npos ||
        listedLower.find(recordLower) != std::string::npos) {
        return true;
    }
    std::size_t start = 0;
    while (start <= recordLower.size()) {
        const auto blank = std::min(recordLower.find(' ', start), recordLower.size());
        const auto piece = std::string_view(recordLower).substr(start, blank - start);
        if (piece.size() >= 4 && listedLower.find(piece) != std::string::npos) {
            return true;
        }
        start = blank + 1;
    }
    return false;
}

// The record of the listed GPU. Where both know their bus address, that alone decides: identical
// cards share every name, and same-vendor GPUs share words such as "nvidia" or "radeon". Records
// without one fall back to names, preferring a record no earlier listed GPU has claimed.
std::optional<std::size_t> matchingRecord(const std::vector<GPUDevice>& devices,
                                          const std::vector<bool>& claimed,
                                          const platform::GPUDeviceInfo& listed) {
    const bool listedHasSlot = !listed.busAddress.empty();
    if (listedHasSlot) {
        for (std::size_t i = 0; i < devices.size(); ++i) {
            if (const auto* slot = pciSlotOf(devices[i]); slot && *slot == listed.busAddress) {
                return i;
            }
        }
    }
    const auto listedLower = lowerCased(listed.name);
    std::optional<std::size_t> firstMatch;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if ((listedHasSlot && pciSlotOf(devices[i])) || !namesMatch(devices[i].name, listedLower)) {
            continue;
        }
        if (!claimed[i]) {
            return i;
        }
        if (!firstMatch) {
            firstMatch = i;
        }
    }
    return firstMatch;
}

} // namespace

std::vector<GPUDevice> GPUInfoCollector::collectSynchronously() const {
    auto devices = parseSystemProfiler();
    std::vector<bool> claimed(devices.size(), false);
    for (const auto& info : services_.gpuDevices->devices()) {
        if (const auto index = matchingRecord(devices, claimed, info)) {
            auto& device = devices[*index];
            if (!info.busAddress.empty()) {
                device.raw.try_emplace(pciSlotKey, info.busAddress);
            }
            device.metalFamily = metalSummary(info);
            if (device.vramBytes == 0 && device.vram == workingSetText(info.recommendedMaxWorkingSetSize)) {
                device.vramBytes = info.recommendedMaxWorkingSetSize;
            }
            device.raw["Metal Device Name"] = info.name;
            device.raw["Recommended Max Working Set"] = workingSetText(info.recommendedMaxWorkingSetSize);
            device.raw["Unified Memory"] = yesNo(info.hasUnifiedMemory);
            device.raw["Low Power"] = yesNo(info.isLowPower);
            device.raw["Removable"] = yesNo(info.isRemovable);
            claimed[*index] = true;
            continue;
        }
        devices.push_back(metalOnlyRecord(info));
        claimed.push_back(true);
    }
    if (devices.empty()) {
        devices.push_back(noGPUPlaceholder());
    }
    return devices;
}

} // namespace tarsik
