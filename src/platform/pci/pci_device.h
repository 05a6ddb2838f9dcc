#pragma once

#include "platform/system_paths.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarsik::platform {

// A PCI function as sysfs describes it. Identifiers are the config-space values.
struct PCIDevice {
    std::string slot;                // "0000:03:00.0"
    std::filesystem::path directory; // its sysfs folder
    std::uint16_t vendorId = 0;
    std::uint16_t deviceId = 0;
    std::uint32_t classCode = 0; // base << 16 | sub << 8 | prog-if
    std::optional<std::uint8_t> revision;
    std::optional<std::uint16_t> subsystemVendorId;
    std::optional<std::uint16_t> subsystemDeviceId;
    std::optional<std::string> driver; // basename of the driver link
    bool bootVga = false;              // the firmware's console GPU; 3D controllers have no boot_vga

    // A board-management or paravirtual display adapter: never the GPU a user came to look at.
    bool isManagementOrVirtualAdapter() const;

    // Also when its power state cannot be read: better to leave an awake GPU alone than to wake
    // a sleeping one.
    bool isRuntimeSuspended() const;
};

// Whether the device in that sysfs folder is runtime-suspended; also when its power state cannot
// be read.
bool isRuntimeSuspended(const std::filesystem::path& device);

// Display-class functions (base class 0x03: VGA, XGA, 3D and other display controllers): the boot
// GPU first, then the others in slot order, then management and paravirtual adapters in slot
// order. The first is the one shown at start-up, and it usually drives the desktop. A function
// whose identity cannot be read (it vanished, or junk) is left out.
std::vector<PCIDevice> listDisplayDevices(const SystemPaths& paths);
// The display-class function at that slot alone, read as the list reads it; nothing when there
// is none. Spares a reader of one GPU the identities of all the others.
std::optional<PCIDevice> displayDeviceAt(const SystemPaths& paths, std::string_view slot);

// Orders "dddd:bb:dd.f" slots numerically, so wider domains sort after narrower ones.
bool slotLess(const std::string& a, const std::string& b);

} // namespace tarsik::platform
