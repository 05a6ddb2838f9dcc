#pragma once

#include "platform/soc/drm_platform_gpus.h"

#include <string>

namespace tarsik::platform {

// The GPU's name from its compatible strings, "Arm Mali-G610"; never empty.
std::string platformGPUName(const PlatformGPU& gpu);

// The maker of the GPU's design, from its driver: "Arm" for a Mali on a Rockchip SoC, since the
// compatible's prefix names the SoC's maker instead.
std::string platformGPUVendor(const PlatformGPU& gpu);

// The class of the GPU's registry entry: "AppleGPU" for Apple's, "ArmGraphicsAccelerator" for Arm's.
std::string platformGPURegistryClass(const PlatformGPU& gpu);

} // namespace tarsik::platform
