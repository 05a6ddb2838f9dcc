#pragma once

#include "platform/nvml/nvml_session.h"
#include "platform/registry_source.h"
#include "platform/system_paths.h"

#include <string>

namespace tarsik::platform {

// One registry entry per awake GPU whose driver publishes live values: named by its PCI slot,
// classed by vendor ("AMDRadeonGPU", "IntelGPU", "NVIDIAGPU", "AppleGPU"), holding those values
// as a "PerformanceStatistics" dictionary. NVIDIA's driver has no hwmon, so its GPUs are asked
// through NVML, which is loaded from `nvmlLibrary` only while an awake NVIDIA GPU is there.
// GPUs on other buses follow, named by their platform device; their load is measured over
// `socLoadWindow` while the caller waits, since nothing samples in the background.
class SysfsRegistrySource final : public RegistrySource {
  public:
    static constexpr std::chrono::milliseconds defaultSocLoadWindow{100};

    explicit SysfsRegistrySource(
        SystemPaths paths, std::string nvmlLibrary = "libnvidia-ml.so.1",
        std::chrono::milliseconds nvmlInitDeadline = NVMLSession::defaultInitDeadline,
        std::chrono::milliseconds socLoadWindow = defaultSocLoadWindow)
        : paths_(std::move(paths)), nvmlLibrary_(std::move(nvmlLibrary)), nvmlInitDeadline_(nvmlInitDeadline),
          socLoadWindow_(socLoadWindow) {}

    std::vector<RegistryEntry> entries(std::optional<std::string_view> name) const override;

  private:
    SystemPaths paths_;
    std::string nvmlLibrary_;
    std::chrono::milliseconds nvmlInitDeadline_;
    std::chrono::milliseconds socLoadWindow_;
};

} // namespace tarsik::platform
