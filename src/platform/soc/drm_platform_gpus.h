#pragma once

#include "platform/system_paths.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarsik::platform {

// A GPU that is not a PCI device (an SoC's Mali, Adreno, VideoCore or Apple GPU), found through
// its DRM device.
struct PlatformGPU {
    std::string busAddress;              // the platform device's name, "fde60000.gpu"
    std::filesystem::path directory;     // the GPU core's sysfs folder
    std::string driver;                  // the DRM driver's word: "panthor", "v3d", "msm"
    std::vector<std::string> compatible; // device-tree compatible strings, most specific first
    // The devices whose connectors show this GPU's monitors: its own card when it drives
    // displays, and the platform display controllers that hand their frames to it.
    std::vector<std::filesystem::path> displayDevices;
};

// DRM devices on a bus other than PCI that have a render node and a GPU driver, in card order.
// Display-only controllers, simple framebuffers, virtual and USB adapters, Tegra's host1x and
// NPUs are not GPUs; their connectors go to the first GPU when they sit on the platform bus.
std::vector<PlatformGPU> listPlatformGPUs(const SystemPaths& paths);

// The board's name from the device tree, "Raspberry Pi 5 Model B Rev 1.0".
std::optional<std::string> machineModel(const SystemPaths& paths);

// MemTotal of /proc/meminfo in bytes, 0 when unknown: what the graphics stack offers a GPU that
// shares the system's memory.
std::uint64_t systemMemoryBytes(const SystemPaths& paths);

} // namespace tarsik::platform
