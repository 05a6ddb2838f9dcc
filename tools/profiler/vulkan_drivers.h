#pragma once

#include "platform/system_paths.h"

#include <optional>
#include <string>
#include <vector>

namespace tarsik::profiler {

// A Vulkan driver as its installed manifest describes it; the driver itself is never loaded, so
// reading this wakes no GPU.
struct VulkanDriver {
    std::string name;       // "RADV", "ANV", "NVIDIA", ...
    std::string library;    // as the manifest names it: "libvulkan_radeon.so"
    std::string apiVersion; // "1.3.230"
};

// The installed Vulkan driver manifests (the loader's system folders under `paths.root`), read once.
class VulkanDrivers {
  public:
    explicit VulkanDrivers(const platform::SystemPaths& paths);

    // The driver that serves GPUs of this kernel driver ("amdgpu", "i915", "nvidia", ...): the
    // first of its candidates that is installed, the manifest for this machine's architecture
    // preferred. Nothing for a kernel driver no Vulkan driver serves, or none installed.
    std::optional<VulkanDriver> forKernelDriver(const std::string& kernelDriver) const;

  private:
    struct Manifest {
        std::string file; // its file name, which carries the architecture
        std::string library;
        std::string apiVersion;
    };
    std::vector<Manifest> manifests_;
};

} // namespace tarsik::profiler
