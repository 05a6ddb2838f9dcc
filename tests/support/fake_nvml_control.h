#pragma once

#include "support/fake_nvml.h"

#include <cstdio>
#include <dlfcn.h>
#include <stdexcept>
#include <string>

namespace tarsik::testing {

// Loads the fake NVML library the same way the code under test does and resets its state, so a
// test sets the answers and reads the calls. Reset again for every test.
class FakeNVML {
  public:
    static constexpr const char* path = TARSIK_FAKE_NVML_PATH;

    // The same library without nvmlDeviceGetFanSpeedRPM, as older drivers ship it.
    static constexpr const char* pathWithoutFanRpm = TARSIK_FAKE_NVML_WITHOUT_FAN_RPM_PATH;

    explicit FakeNVML(const char* library = path)
        : library_(::dlopen(library, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE)) {
        if (library_ == nullptr) {
            throw std::runtime_error(std::string("cannot load the fake NVML: ") + ::dlerror());
        }
        const auto state = reinterpret_cast<FakeNVMLState* (*)()>(::dlsym(library_, "fakeNvmlState"));
        state_ = state();
        *state_ = FakeNVMLState{};
    }
    ~FakeNVML() { ::dlclose(library_); }

    FakeNVML(const FakeNVML&) = delete;
    FakeNVML& operator=(const FakeNVML&) = delete;

    FakeNVMLState& state() { return *state_; }

    // An H100 80GB HBM3 on the given bus: no fan, 70 W of its 700 W limit, 1980 MHz core, 81559 MiB
    // of memory of which 4 MiB in use, its HBM at 37 °C.
    FakeNVMLGPU& addH100(const char* busId) {
        auto& gpu = state_->gpus[state_->gpuCount++];
        gpu = FakeNVMLGPU{.temperatureCelsius = 34,
                          .powerMilliwatts = 70250,
                          .fanResult = 3, // not supported: passively cooled
                          .graphicsClockMHz = 1980,
                          .memoryClockMHz = 1593,
                          .utilizationPercent = 0,
                          .memoryTotalBytes = 85'520'809'984,
                          .memoryUsedBytes = 4'194'304,
                          .memoryTemperatureCelsius = 37,
                          .fanPercentResult = 3,
                          .powerLimitMilliwatts = 700'000};
        std::snprintf(gpu.busId, sizeof gpu.busId, "%s", busId);
        return gpu;
    }

  private:
    void* library_;
    FakeNVMLState* state_ = nullptr;
};

} // namespace tarsik::testing
