#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tarsik::platform {

// What NVML tells about one GPU, in its own units. A field the GPU does not support is absent.
struct NVMLGPUReadings {
    std::optional<unsigned> temperatureCelsius;
    std::optional<unsigned> powerMilliwatts;
    std::optional<unsigned> fanRpm;
    std::optional<unsigned> graphicsClockMHz;
    std::optional<unsigned> memoryClockMHz;
    std::optional<unsigned> utilisationPercent;
    // Beyond the six: HBM and GDDR6X parts report their memory's temperature.
    std::optional<unsigned> memoryTemperatureCelsius;
    std::optional<unsigned long long> memoryUsedBytes;
    // The fan's intended speed in percent; drivers before the RPM call report only this.
    std::optional<unsigned> fanPercent;
    std::optional<unsigned> enforcedPowerLimitMilliwatts;
};

// The NVIDIA management library, loaded at run time and initialised; shut down and released when
// destroyed. Initialising can take seconds on a headless machine, so only background work opens
// one. Initialisation attaches no GPU; a GPU is attached only when asked for by its slot.
class NVMLSession {
  public:
    // A wedged driver can keep initialisation from ever returning; sensor discovery must not wait
    // for it longer than this.
    static constexpr std::chrono::milliseconds defaultInitDeadline{10'000};

    // Nothing when the library is missing, lacks its basic entry points, fails to initialise, or
    // has not initialised by the deadline. An initialisation that ran past its deadline is left to
    // finish on its own (and is then shut down); until it has, no session is opened at all, so
    // later callers neither wait for the same driver nor pile up threads behind it.
    static std::unique_ptr<NVMLSession> open(const std::string& library,
                                             std::chrono::milliseconds initDeadline = defaultInitDeadline);
    ~NVMLSession();

    NVMLSession(const NVMLSession&) = delete;
    NVMLSession& operator=(const NVMLSession&) = delete;

    // The GPU in a sysfs slot ("0000:01:00.0"); nothing when NVML does not know it.
    std::optional<NVMLGPUReadings> readings(const std::string& slot) const;
    // Its framebuffer size in bytes; nothing when unknown or when it has none (a SoC's GPU).
    std::optional<std::uint64_t> memoryTotalBytes(const std::string& slot) const;

    // NVML's device handle.
    using Device = struct NVMLDeviceOpaque*;

  private:
    struct Api;

    std::optional<Device> device(const std::string& slot) const;

    NVMLSession(void* library, std::unique_ptr<Api> api);

    void* library_;
    std::unique_ptr<Api> api_;
};

} // namespace tarsik::platform
