#include "platform/pci/pci_device.h"

#include "platform/file_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

namespace tarsik::platform {
namespace {

template <typename T> std::optional<T> readHexAttribute(const std::filesystem::path& path) {
    const auto text = readAttribute(path);
    if (!text) {
        return std::nullopt;
    }
    const auto value = parseHex(*text);
    if (!value || *value > std::numeric_limits<T>::max()) {
        return std::nullopt;
    }
    return static_cast<T>(*value);
}

// Domain, bus, device, function; anything unparsable sorts last, by text.
std::array<std::uint64_t, 4> slotNumbers(const std::string& slot) {
    std::array<std::uint64_t, 4> numbers{};
    numbers.fill(std::numeric_limits<std::uint64_t>::max());
    const char* cursor = slot.data();
    const char* const end = slot.data() + slot.size();
    constexpr std::array<char, 4> separators{':', ':', '.', '\0'};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        std::uint64_t value = 0;
        const auto [ptr, ec] = std::from_chars(cursor, end, value, 16);
        if (ec != std::errc{}) {
            return numbers;
        }
        numbers[i] = value;
        cursor = ptr;
        if (separators[i] != '\0') {
            if (cursor == end || *cursor != separators[i]) {
                return numbers;
            }
            ++cursor;
        }
    }
    return numbers;
}

// Lower ranks come first in the list.
int listRank(const PCIDevice& device) {
    if (device.isManagementOrVirtualAdapter()) {
        return 2;
    }
    return device.bootVga ? 0 : 1;
}

} // namespace

bool PCIDevice::isManagementOrVirtualAdapter() const {
    switch (vendorId) {
    case 0x1a03: // ASPEED: the BMC's VGA on most servers
    case 0x1af4: // virtio
    case 0x1b36: // QXL
    case 0x1234: // QEMU/Bochs standard VGA
    case 0x15ad: // VMware SVGA
    case 0x80ee: // VirtualBox
    case 0x1414: // Hyper-V
        return true;
    case 0x102b: // Matrox: only the G200 server variants behind a BMC
        switch (deviceId) {
        case 0x0522: // G200e
        case 0x0530: // G200EV
        case 0x0532: // G200eW
        case 0x0533: // G200EH
        case 0x0534: // G200eR2
        case 0x0536: // G200eW3
        case 0x0538: // G200eH3
            return true;
        default:
            return false;
        }
    case 0x19e5: // HiSilicon's BMC display (Hi171x)
        return deviceId == 0x1711;
    case 0x1013: // Cirrus: today only as QEMU's emulated CLGD 5446
        return deviceId == 0x00b8;
    default:
        return false;
    }
}

bool slotLess(const std::string& a, const std::string& b) {
    const auto left = slotNumbers(a);
    const auto right = slotNumbers(b);
    if (left != right) {
        return left < right;
    }
    return a < b;
}

bool PCIDevice::isRuntimeSuspended() const {
    return platform::isRuntimeSuspended(directory);
}

bool isRuntimeSuspended(const std::filesystem::path& device) {
    const auto status = device / "power/runtime_status";
    if (const auto text = readAttribute(status)) {
        return *text == "suspended";
    }
    // Only a kernel without runtime power management lacks the file; one that is there but
    // cannot be read proves nothing, and the reads that follow could wake a sleeping GPU.
    std::error_code error;
    return std::filesystem::exists(status, error);
}

namespace {

// The display-class function in that folder; nothing for another class or an unreadable identity.
std::optional<PCIDevice> displayDeviceIn(const std::filesystem::path& directory) {
    const auto classCode = readHexAttribute<std::uint32_t>(directory / "class");
    if (!classCode || (*classCode >> 16) != 0x03) {
        return std::nullopt;
    }
    const auto vendorId = readHexAttribute<std::uint16_t>(directory / "vendor");
    const auto deviceId = readHexAttribute<std::uint16_t>(directory / "device");
    if (!vendorId || !deviceId) {
        return std::nullopt;
    }
    return PCIDevice{
        .slot = directory.filename().string(),
        .directory = directory,
        .vendorId = *vendorId,
        .deviceId = *deviceId,
        .classCode = *classCode,
        .revision = readHexAttribute<std::uint8_t>(directory / "revision"),
        .subsystemVendorId = readHexAttribute<std::uint16_t>(directory / "subsystem_vendor"),
        .subsystemDeviceId = readHexAttribute<std::uint16_t>(directory / "subsystem_device"),
        .driver = readLinkName(directory / "driver"),
        .bootVga = readAttribute(directory / "boot_vga") == "1",
    };
}

} // namespace

std::vector<PCIDevice> listDisplayDevices(const SystemPaths& paths) {
    std::vector<PCIDevice> devices;
    std::error_code error;
    std::filesystem::directory_iterator entries(paths.pciDevices(), error);
    for (const std::filesystem::directory_iterator end; !error && entries != end; entries.increment(error)) {
        if (auto device = displayDeviceIn(entries->path())) {
            devices.push_back(std::move(*device));
        }
    }
    std::sort(devices.begin(), devices.end(), [](const PCIDevice& a, const PCIDevice& b) {
        const int rankA = listRank(a);
        const int rankB = listRank(b);
        return rankA != rankB ? rankA < rankB : slotLess(a.slot, b.slot);
    });
    return devices;
}

std::optional<PCIDevice> displayDeviceAt(const SystemPaths& paths, std::string_view slot) {
    // A slot names a folder of its own, never a path.
    if (slot.empty() || slot == "." || slot == ".." || slot.find('/') != std::string_view::npos) {
        return std::nullopt;
    }
    return displayDeviceIn(paths.pciDevices() / slot);
}

} // namespace tarsik::platform
