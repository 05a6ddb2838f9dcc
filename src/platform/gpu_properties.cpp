#include "platform/gpu_properties.h"

#include "platform/file_reader.h"
#include "platform/gpu_identity.h"

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

std::optional<std::string> driverVersion(const std::string& driver, const SystemPaths& paths) {
    // Modules are named with underscores where drivers may use dashes (virtio-pci).
    std::string module = driver;
    std::replace(module.begin(), module.end(), '-', '_');
    auto version = readAttribute(paths.kernelModules() / module / "version");
    if (!version || version->empty()) {
        return std::nullopt;
    }
    return version;
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

Properties gpuProperties(const PCIDevice& device, const SystemPaths& paths, const PCIIDs& pciIds) {
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
        add("Driver Version", driverVersion(*device.driver, paths));
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
    return properties;
}

} // namespace tarsik::platform
