#pragma once

#include "platform/system_paths.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarsik::platform {

// The marketing name libdrm keeps in amdgpu.ids ("73BF,\tC1,\tAMD Radeon RX 6800 XT").
// Like libdrm, both the device and the revision must match.
std::optional<std::string> amdgpuMarketingName(std::string_view idsText, std::uint16_t device,
                                               std::uint8_t revision);

std::optional<std::string> amdgpuMarketingName(const SystemPaths& paths, std::uint16_t device,
                                               std::uint8_t revision);

} // namespace tarsik::platform
