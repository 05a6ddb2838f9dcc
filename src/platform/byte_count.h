#pragma once

#include <cstdint>
#include <string>

namespace tarsik::platform {

// A memory size in 1024-based units: "512 bytes", "64 KB", "512 MB", "7.98 GB", "8 GB".
// Kilobytes are whole; megabytes carry one decimal, gigabytes and above two; trailing zeros are
// dropped, halves round up, and a value that rounds to 1024 moves to the next unit.
std::string formatByteCount(std::uint64_t bytes);

} // namespace tarsik::platform
