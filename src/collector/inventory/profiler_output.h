#pragma once

#include "model/gpu_device.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarsik {

// What the display profiler printed, read back: one record per graphics entry, in its order.
struct ProfilerRecords {
    std::vector<GPUDevice> devices;
    // Why the whole output was turned away, no records then; empty when it was read.
    std::string rejection;
};

// The key under which tarsik-profiler writes a GPU's memory size in bytes, beside the rounded
// text: the machine-readable forms print the exact number.
inline constexpr const char* vramBytesKey = "_vram_bytes";

// Reads the profiler's JSON without running it, so the reader, the tests and the fuzzer share it.
ProfilerRecords parseProfilerOutput(std::string_view output);

} // namespace tarsik
