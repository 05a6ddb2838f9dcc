#pragma once

#include "platform/system_paths.h"

#include <string>

namespace tarsik::profiler {

// {"SPDisplaysDataType": [...]} with one entry per display-class PCI device in the device list's
// order: its name as the GPU device list gives it, vendor and bus tokens, identifiers, memory size
// (NVIDIA's from NVML, loaded from `nvmlLibrary`), further properties under readable keys, and the
// displays connected to it; then the GPUs on other buses (SoCs), built in and sharing the system's
// memory, each with the monitors of its display controllers.
std::string displayProfile(const platform::SystemPaths& paths,
                           const std::string& nvmlLibrary = "libnvidia-ml.so.1");

} // namespace tarsik::profiler
