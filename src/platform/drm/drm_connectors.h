#pragma once

#include "platform/pci/pci_device.h"

#include <optional>
#include <string>
#include <vector>

namespace tarsik::platform {

// A DRM connector with a display attached, as the kernel last probed it.
struct DRMConnector {
    std::string name;                     // "DP-1", "HDMI-A-1" (without the "cardN-" prefix)
    std::optional<bool> enabled;          // a CRTC drives it; nothing when the kernel does not say
    std::optional<std::string> firstMode; // first line of `modes`: the preferred mode once probed
    std::string edid;                     // raw blob; empty when the display gave none
};

// The connectors of a PCI display device whose status is "connected", in the kernel's order
// (connector_id) where it tells, else the built-in panel first and the rest by name with numbers
// compared as numbers. Writeback
// connectors are not displays and are left out. Reading these files never wakes the GPU.
std::vector<DRMConnector> connectedDisplays(const PCIDevice& device);

// The same for any device's sysfs folder, such as an SoC's display controller.
std::vector<DRMConnector> connectedDisplays(const std::filesystem::path& device);

} // namespace tarsik::platform
