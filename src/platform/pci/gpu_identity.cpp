#include "platform/pci/gpu_identity.h"

#include "platform/file_reader.h"
#include "platform/pci/amdgpu_ids.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

namespace tarsik::platform {
namespace {

bool containsIgnoringCase(std::string_view text, std::string_view part) {
    const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

bool hasAmdgpuApuRail(const PCIDevice& device) {
    // amdgpu registers the northbridge voltage (in1, "vddnb") only on APUs.
    std::error_code error;
    std::filesystem::directory_iterator entries(device.directory / "hwmon", error);
    for (const std::filesystem::directory_iterator end; !error && entries != end; entries.increment(error)) {
        if (readAttribute(entries->path() / "name") == "amdgpu" &&
            std::filesystem::exists(entries->path() / "in1_input", error)) {
            return true;
        }
    }
    return false;
}

bool isIntegrated(const PCIDevice& device) {
    switch (device.vendorId) {
    case vendor_ids::intel:
        // Intel's integrated graphics always sits at 00:02.0; Arc cards sit behind a bridge.
        return device.slot.ends_with(":00:02.0");
    case vendor_ids::apple:
        return true;
    case vendor_ids::amd:
        return device.driver == "amdgpu" && hasAmdgpuApuRail(device);
    default:
        return false;
    }
}

// Memory sizes the driver keeps in plain fields, so reading them never wakes the GPU: amdgpu's
// total VRAM, and xe's physical VRAM per tile. NVIDIA's comes from NVML, off the UI thread.
std::uint64_t vramBytes(const PCIDevice& device) {
    if (device.driver == "xe") {
        std::uint64_t total = 0;
        for (int tile = 0;; ++tile) {
            const auto bytes = readUnsignedAttribute(device.directory / ("tile" + std::to_string(tile)) /
                                                     "physical_vram_size_bytes");
            if (!bytes) {
                return total;
            }
            total += *bytes;
        }
    }
    return readUnsignedAttribute(device.directory / "mem_info_vram_total").value_or(0);
}

} // namespace

std::optional<std::string> nvidiaProcValue(std::string_view informationText, std::string_view key) {
    while (!informationText.empty()) {
        const auto end = informationText.find('\n');
        const auto line = informationText.substr(0, end);
        informationText.remove_prefix(end == std::string_view::npos ? informationText.size() : end + 1);
        const auto colon = line.find(':');
        if (colon == std::string_view::npos || trimmed(line.substr(0, colon)) != key) {
            continue;
        }
        const auto value = trimmed(line.substr(colon + 1));
        if (value.empty()) {
            return std::nullopt;
        }
        return std::string(value);
    }
    return std::nullopt;
}

std::optional<std::string> nvidiaProcModel(const SystemPaths& paths, const std::string& slot) {
    const auto text = readFile(paths.nvidiaProcGPUs() / slot / "information");
    if (!text) {
        return std::nullopt;
    }
    return nvidiaProcValue(*text, "Model");
}

std::optional<std::string> vendorShortName(std::uint16_t vendorId, const PCIIDs& pciIds) {
    switch (vendorId) {
    case vendor_ids::amd:
    case vendor_ids::amdAlternative:
        return "AMD";
    case vendor_ids::nvidia:
        return "NVIDIA";
    case vendor_ids::intel:
        return "Intel";
    case vendor_ids::apple:
        return "Apple";
    default:
        break;
    }
    auto name = pciIds.vendorName(vendorId);
    if (!name) {
        return std::nullopt;
    }
    std::string_view shortName = *name;
    shortName = shortName.substr(0, std::min(shortName.find(','), shortName.find(" [")));
    static constexpr std::array suffixes{" Corporation",  " Corp.",  " Inc.", " Ltd.",
                                         " Limited",      " GmbH",   " Co.",  " Technology",
                                         " Technologies", " Systems"};
    for (bool stripped = true; stripped;) {
        stripped = false;
        for (std::string_view suffix : suffixes) {
            if (shortName.size() > suffix.size() && shortName.ends_with(suffix)) {
                shortName.remove_suffix(suffix.size());
                stripped = true;
            }
        }
    }
    return std::string(trimmed(shortName));
}

std::string gpuName(const PCIDevice& device, const SystemPaths& paths, const PCIIDs& pciIds) {
    // Reading the driver's information file takes a runtime-PM reference; leave a sleeping GPU asleep.
    if (device.vendorId == vendor_ids::nvidia && !device.isRuntimeSuspended()) {
        if (auto model = nvidiaProcModel(paths, device.slot)) {
            return *model;
        }
    }
    if (device.vendorId == vendor_ids::amd && device.revision) {
        if (auto name = amdgpuMarketingName(paths, device.deviceId, *device.revision)) {
            return *name;
        }
    }
    if (auto name = pciIds.deviceName(device.vendorId, device.deviceId)) {
        const auto shortName = vendorShortName(device.vendorId, pciIds);
        if (shortName && !shortName->empty() && !containsIgnoringCase(*name, *shortName)) {
            return *shortName + " " + *name;
        }
        return *name;
    }
    char ids[10];
    std::snprintf(ids, sizeof ids, "%04x:%04x", device.vendorId, device.deviceId);
    return ids;
}

GPUIdentity identifyGPU(const PCIDevice& device, const SystemPaths& paths, const PCIIDs& pciIds) {
    return GPUIdentity{
        .name = gpuName(device, paths, pciIds),
        .vendor = vendorShortName(device.vendorId, pciIds).value_or(""),
        .integrated = isIntegrated(device),
        .vramBytes = vramBytes(device),
        .removable = readAttribute(device.directory / "removable") == "removable",
    };
}

} // namespace tarsik::platform
