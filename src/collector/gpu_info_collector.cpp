#include "collector/gpu_info_collector.h"

namespace tarsik {

GPUInfoCollector::GPUInfoCollector(platform::Services services) : services_(std::move(services)) {}

} // namespace tarsik
