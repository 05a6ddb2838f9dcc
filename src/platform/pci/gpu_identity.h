#pragma once

#include "platform/pci/pci_device.h"
#include "platform/pci/pci_ids.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tarsik::platform {

// What the device list and the display profiler both say about one display-class PCI function.
// Kept in one place so both print the same name for the same device.
struct GPUIdentity {
    std::string name;
    std::string vendor; // the short vendor name; empty when pci.ids does not know the vendor
    bool integrated = false;
    std::uint64_t vramBytes = 0; // 0 when the driver does not say
    bool removable = false;
};

GPUIdentity identifyGPU(const PCIDevice& device, const SystemPaths& paths, const PCIIDs& pciIds);

// The name chain: the NVIDIA driver's "Model:" line, amdgpu.ids by device and revision, pci.ids
// (with the vendor's short name in front when the text lacks it), then "vvvv:dddd".
std::string gpuName(const PCIDevice& device, const SystemPaths& paths, const PCIIDs& pciIds);

// "AMD", "NVIDIA", "Intel", "Apple" for the big four; otherwise the pci.ids vendor name without
// its company suffix ("Red Hat, Inc." -> "Red Hat"); nothing when the vendor is unknown.
std::optional<std::string> vendorShortName(std::uint16_t vendorId, const PCIIDs& pciIds);

// The "Model:" line of /proc/driver/nvidia/gpus/<slot>/information.
std::optional<std::string> nvidiaProcModel(const SystemPaths& paths, const std::string& slot);

// A value of the "information" file by its key, e.g. "Video BIOS".
std::optional<std::string> nvidiaProcValue(std::string_view informationText, std::string_view key);

namespace vendor_ids {
inline constexpr std::uint16_t amd = 0x1002;
inline constexpr std::uint16_t amdAlternative = 0x1022;
inline constexpr std::uint16_t nvidia = 0x10de;
inline constexpr std::uint16_t intel = 0x8086;
inline constexpr std::uint16_t apple = 0x106b;
} // namespace vendor_ids

} // namespace tarsik::platform
