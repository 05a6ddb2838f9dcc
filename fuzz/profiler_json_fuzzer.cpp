// The profiler reader over whatever a profiler child could print.
#include "collector/gpu_info_collector.h"
#include "collector/inventory/profiler_output.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto records =
        tarsik::parseProfilerOutput(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!records.rejection.empty() && !records.devices.empty()) {
        __builtin_trap(); // a rejected output gives no records
    }
    for (const auto& device : records.devices) {
        tarsik::GPUInfoCollector::basicSensorsSynchronously(&device);
    }
    return 0;
}
