// The profiler reader and the merge with the device list, over whatever a profiler child could print.
#include "collector/gpu_info_collector.h"

#include <cstddef>
#include <cstdint>

namespace {

using namespace tarsik;

class PrintingRunner final : public platform::ProcessRunner {
  public:
    explicit PrintingRunner(std::string output) : output_(std::move(output)) {}
    std::optional<std::string> run(const std::filesystem::path&,
                                   const std::vector<std::string>&) const override {
        return output_;
    }

  private:
    std::string output_;
};

// Two listed GPUs whose names the profiler's records may or may not match.
class TwoGpus final : public platform::GpuDeviceList {
  public:
    std::vector<platform::GpuDeviceInfo> devices() const override {
        return {{.name = "AMD Radeon RX 6800 XT", .recommendedMaxWorkingSetSize = 17'163'091'968},
                {.name = "Intel UHD Graphics 630", .isLowPower = true, .hasUnifiedMemory = true}};
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const GPUInfoCollector collector(platform::Services{
        .gpuDevices = std::make_shared<TwoGpus>(),
        .processRunner =
            std::make_shared<PrintingRunner>(std::string(reinterpret_cast<const char*>(data), size)),
    });
    const auto devices = collector.collectSynchronously();
    if (devices.empty()) {
        __builtin_trap(); // never empty: the listed GPUs at least
    }
    for (const auto& device : devices) {
        GPUInfoCollector::basicSensorsSynchronously(&device);
    }
    return 0;
}
