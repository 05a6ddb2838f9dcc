#pragma once

#include <filesystem>

namespace tarsik::platform {

// Where the system's files are. Production uses "/"; tests point it at a fixture tree.
struct SystemPaths {
    std::filesystem::path root = "/";

    std::filesystem::path pciDevices() const { return root / "sys/bus/pci/devices"; }
    std::filesystem::path nvidiaProcGPUs() const { return root / "proc/driver/nvidia/gpus"; }
    std::filesystem::path kernelModules() const { return root / "sys/module"; }
    // The NVIDIA kernel module's version line; the driver keeps it, no GPU is asked.
    std::filesystem::path nvidiaVersion() const { return root / "proc/driver/nvidia/version"; }
    std::filesystem::path kernelRelease() const { return root / "proc/sys/kernel/osrelease"; }
    std::filesystem::path amdgpuIds() const { return root / "usr/share/libdrm/amdgpu.ids"; }
    // Debian's pci.ids package; hwdata links the second name to the same file.
    std::filesystem::path pciIds() const { return root / "usr/share/misc/pci.ids"; }
    std::filesystem::path pciIdsAlternative() const { return root / "usr/share/hwdata/pci.ids"; }
    // The applesmc driver of Intel Macs (its platform device sits at I/O port 0x300 = 768).
    std::filesystem::path applesmc() const { return root / "sys/devices/platform/applesmc.768"; }
    std::filesystem::path drmClass() const { return root / "sys/class/drm"; }
    std::filesystem::path platformDrivers() const { return root / "sys/bus/platform/drivers"; }
    std::filesystem::path thermalClass() const { return root / "sys/class/thermal"; }
    // The device tree as the kernel exposes it; its files hold the raw, NUL-terminated values.
    std::filesystem::path deviceTree() const { return root / "proc/device-tree"; }
    std::filesystem::path meminfo() const { return root / "proc/meminfo"; }
};

} // namespace tarsik::platform
