#pragma once

#include "model/gpu_device.h"
#include "platform/byte_count.h"
#include "platform/gpu_device_list.h"

#include <cstdint>
#include <string>

namespace tarsik {

inline std::string yesNo(bool flag) {
    return flag ? "Yes" : "No";
}

// A working set of 0 means the list could not tell; no real GPU has zero bytes of memory.
inline std::string workingSetText(std::uint64_t bytes) {
    return bytes == 0 ? "Unknown" : platform::formatByteCount(bytes);
}

// A record from the device list alone, for a GPU the profiler does not list.
GPUDevice metalOnlyRecord(const platform::GPUDeviceInfo& info);

} // namespace tarsik
