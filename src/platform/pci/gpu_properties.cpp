#include "platform/pci/gpu_properties.h"

#include "platform/byte_count.h"
#include "platform/file_reader.h"
#include "platform/pci/gpu_identity.h"

#include <algorithm>
#include <cstdio>

namespace tarsik::platform {
namespace {

std::string hex4(std::uint16_t value) {
    char text[7];
    std::snprintf(text, sizeof text, "0x%04x", value);
    return text;
}

std::optional<std::string> subsystemName(const PCIDevice& device, const PCIIDs& pciIds) {
    auto name = pciIds.subsystemName(device.vendorId, device.deviceId, *device.subsystemVendorId,
                                     *device.subsystemDeviceId);
    if (!name) {
        return std::nullopt;
    }
    // pci.ids names the board only; the card maker is the subsystem vendor.
    const auto maker = vendorShortName(*device.subsystemVendorId, pciIds);
    if (maker && !maker->empty() && !name->starts_with(*maker)) {
        return *maker + " " + *name;
    }
    return name;
}

// "NVRM version: NVIDIA UNIX x86_64 Kernel Module  535.129.03  Thu Oct 19 18:56:32 UTC 2023":
// the first word after "Kernel Module" (the open modules say "Open Kernel Module").
std::optional<std::string> nvidiaModuleVersion(const std::string& text) {
    constexpr std::string_view marker = "Kernel Module";
    const auto at = text.find(marker);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const auto start = text.find_first_not_of(' ', at + marker.size());
    if (start == std::string::npos) {
        return std::nullopt;
    }
    const auto end = text.find_first_of(" \n", start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The module's own version where it has one (out-of-tree modules do); a driver built with the
// kernel has the kernel's release.
std::optional<std::string> kernelDriverVersion(const std::string& driver, const SystemPaths& paths) {
    if (driver == "nvidia") {
        if (const auto text = readFile(paths.nvidiaVersion())) {
            if (auto version = nvidiaModuleVersion(*text)) {
                return version;
            }
        }
    }
    // Modules are named with underscores where drivers may use dashes (virtio-pci).
    std::string module = driver;
    std::replace(module.begin(), module.end(), '-', '_');
    if (auto version = readAttribute(paths.kernelModules() / module / "version"); version && !version->empty()) {
        return version;
    }
    return readAttribute(paths.kernelRelease());
}

// Whether one memory BAR spans all of the GPU's memory, so the CPU can reach every byte at once:
// "resource" holds one "start end flags" line per region, and reading it wakes nothing.
std::optional<std::string> resizableBar(const PCIDevice& device, std::uint64_t vramBytes) {
    const auto text = readFile(device.directory / "resource");
    if (vramBytes == 0 || !text) {
        return std::nullopt;
    }
    constexpr unsigned long long memoryRegion = 0x200; // IORESOURCE_MEM
    std::uint64_t largest = 0;
    std::size_t line = 0;
    for (std::size_t start = 0; start < text->size() && line < 6; ++line) {
        auto end = text->find('\n', start);
        end = end == std::string::npos ? text->size() : end;
        unsigned long long first = 0;
        unsigned long long last = 0;
        unsigned long long flags = 0;
        if (std::sscanf(text->substr(start, end - start).c_str(), "%llx %llx %llx", &first, &last, &flags) == 3 &&
            (flags & memoryRegion) != 0 && last > first) {
            largest = std::max<std::uint64_t>(largest, last - first + 1);
        }
        start = end + 1;
    }
    if (largest == 0) {
        return std::nullopt;
    }
    return largest >= vramBytes ? "Yes" : "No";
}

// amdgpu's power cap and the range it may be set in, in watts; hwmon reads wake a sleeping GPU
// on older kernels, so the caller asks only an awake one.
std::optional<std::string> powerLimit(const PCIDevice& device) {
    for (const auto& hwmon : entriesStartingWith(device.directory / "hwmon", "hwmon")) {
        if (readAttribute(hwmon / "name") != "amdgpu") {
            continue;
        }
        const auto watts = [&hwmon](const char* file) -> std::optional<std::string> {
            const auto microwatts = readUnsignedAttribute(hwmon / file);
            if (!microwatts) {
                return std::nullopt;
            }
            return std::to_string((*microwatts + 500'000) / 1'000'000) + " W";
        };
        const auto cap = watts("power1_cap");
        if (!cap) {
            return std::nullopt;
        }
        const auto lowest = watts("power1_cap_min");
        const auto highest = watts("power1_cap_max");
        return lowest && highest ? *cap + " (min " + *lowest + ", max " + *highest + ")" : *cap;
    }
    return std::nullopt;
}

std::optional<std::string> gttSize(const PCIDevice& device) {
    const auto bytes = readUnsignedAttribute(device.directory / "mem_info_gtt_total");
    if (!bytes || *bytes == 0) {
        return std::nullopt;
    }
    return formatByteCount(*bytes);
}

std::optional<std::string> vbiosVersion(const PCIDevice& device, const SystemPaths& paths, bool asleep) {
    if (auto version = readAttribute(device.directory / "vbios_version"); version && !version->empty()) {
        return version; // amdgpu keeps it from probe time
    }
    if (device.vendorId == vendor_ids::nvidia && !asleep) {
        if (const auto text = readFile(paths.nvidiaProcGPUs() / device.slot / "information")) {
            return nvidiaProcValue(*text, "Video BIOS");
        }
    }
    return std::nullopt;
}

// "16" -> "x16", as lane counts are usually written.
std::optional<std::string> laneCount(const std::filesystem::path& attribute) {
    const auto lanes = readAttribute(attribute);
    if (!lanes || lanes->empty()) {
        return std::nullopt;
    }
    return "x" + *lanes;
}

} // namespace

Properties gpuProperties(const PCIDevice& device, const SystemPaths& paths, const PCIIDs& pciIds,
                         std::uint64_t vramBytes) {
    Properties properties;
    const auto add = [&properties](const char* key, const std::optional<std::string>& value) {
        if (value && !value->empty()) {
            properties.emplace_back(key, *value);
        }
    };
    const bool asleep = device.isRuntimeSuspended();
    add("PCI Slot", device.slot);
    add("Vendor ID", hex4(device.vendorId));
    add("Driver", device.driver);
    if (device.driver) {
        add("Kernel Driver Version", kernelDriverVersion(*device.driver, paths));
    }
    if (device.subsystemVendorId && device.subsystemDeviceId) {
        add("Subsystem Vendor ID", hex4(*device.subsystemVendorId));
        add("Subsystem ID", hex4(*device.subsystemDeviceId));
        add("Subsystem Name", subsystemName(device, pciIds));
    }
    // Reading the current link state resumes a suspended device; the capabilities do not.
    if (!asleep) {
        add("Link Speed", readAttribute(device.directory / "current_link_speed"));
        add("Link Width", laneCount(device.directory / "current_link_width"));
    }
    add("Max Link Speed", readAttribute(device.directory / "max_link_speed"));
    add("Max Link Width", laneCount(device.directory / "max_link_width"));
    add("VBIOS Version", vbiosVersion(device, paths, asleep));
    const auto numaNode = readAttribute(device.directory / "numa_node");
    if (numaNode && numaNode != "-1") {
        add("NUMA Node", numaNode);
    }
    add("Resizable BAR", resizableBar(device, vramBytes));
    add("GTT Size", gttSize(device)); // TTM's count: no wake
    if (!asleep) {
        add("Power Limit", powerLimit(device));
    }
    return properties;
}

} // namespace tarsik::platform
