// A stand-in for libnvidia-ml.so.1 with the entry points the registry source uses.

#include "support/fake_nvml.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int success = 0;
constexpr int notFound = 6;

FakeNVMLState state{};

// Bus ids compare by number, as NVML's own lookup does: "0000:01:00.0" is "00000000:01:00.0".
bool sameBusId(const char* a, const char* b) {
    unsigned da = 0, ba = 0, sa = 0, fa = 0, db = 0, bb = 0, sb = 0, fb = 0;
    return std::sscanf(a, "%x:%x:%x.%x", &da, &ba, &sa, &fa) == 4 &&
           std::sscanf(b, "%x:%x:%x.%x", &db, &bb, &sb, &fb) == 4 && da == db && ba == bb && sa == sb &&
           fa == fb;
}

const FakeNVMLGPU& gpu(void* device) {
    return *static_cast<const FakeNVMLGPU*>(device);
}

int answer(int result, unsigned value, unsigned* out) {
    if (result == success) {
        *out = value;
    }
    return result;
}

} // namespace

extern "C" {

struct FakeFanSpeedInfo {
    unsigned version;
    unsigned fan;
    unsigned speed;
};

struct FakeMemory {
    unsigned long long total;
    unsigned long long free;
    unsigned long long used;
};

struct FakeFieldValue {
    unsigned fieldId;
    unsigned scopeId;
    long long timestamp;
    long long latencyMicroseconds;
    int valueType;
    int result;
    unsigned long long value;
};

struct FakeUtilization {
    unsigned gpu;
    unsigned memory;
};

FakeNVMLState* fakeNvmlState() {
    return &state;
}

int nvmlInit_v2() {
    __atomic_add_fetch(&state.initCalls, 1, __ATOMIC_SEQ_CST);
    while (__atomic_load_n(&state.initBlocked, __ATOMIC_SEQ_CST) != 0) {
        usleep(1000);
    }
    const int result = state.initResult;
    __atomic_add_fetch(&state.initReturns, 1, __ATOMIC_SEQ_CST);
    return result;
}

int nvmlShutdown() {
    __atomic_add_fetch(&state.shutdownCalls, 1, __ATOMIC_SEQ_CST);
    return success;
}

int nvmlDeviceGetHandleByPciBusId_v2(const char* busId, void** device) {
    // Records while there is room; a benchmark asks thousands of times.
    if (std::strlen(state.lookedUp) + std::strlen(busId) + 2 <= sizeof state.lookedUp) {
        std::strcat(state.lookedUp, busId);
        std::strcat(state.lookedUp, ";");
    }
    for (unsigned i = 0; i < state.gpuCount; ++i) {
        if (sameBusId(busId, state.gpus[i].busId)) {
            *device = &state.gpus[i];
            return success;
        }
    }
    return notFound;
}

int nvmlDeviceGetTemperature(void* device, unsigned sensor, unsigned* celsius) {
    return sensor == 0 ? answer(gpu(device).temperatureResult, gpu(device).temperatureCelsius, celsius) : 2;
}

int nvmlDeviceGetPowerUsage(void* device, unsigned* milliwatts) {
    return answer(gpu(device).powerResult, gpu(device).powerMilliwatts, milliwatts);
}

int nvmlDeviceGetMemoryInfo(void* device, FakeMemory* memory) {
    if (gpu(device).memoryResult == success) {
        *memory = FakeMemory{.total = gpu(device).memoryTotalBytes,
                             .free = gpu(device).memoryTotalBytes - gpu(device).memoryUsedBytes,
                             .used = gpu(device).memoryUsedBytes};
    }
    return gpu(device).memoryResult;
}

// Drivers before the Maxwell generation's have no RPM call at all.
#ifndef FAKE_NVML_WITHOUT_FAN_RPM
int nvmlDeviceGetFanSpeedRPM(void* device, FakeFanSpeedInfo* info) {
    // The versioned-struct rule: the size in the low bits, version 1 in the top byte.
    if (info->version != (sizeof(FakeFanSpeedInfo) | 1u << 24) || info->fan != 0) {
        return 25; // argument version mismatch
    }
    return answer(gpu(device).fanResult, gpu(device).fanRpm, &info->speed);
}
#endif

int nvmlDeviceGetClockInfo(void* device, unsigned type, unsigned* mhz) {
    if (type == 0) {
        return answer(gpu(device).graphicsClockResult, gpu(device).graphicsClockMHz, mhz);
    }
    if (type == 2) {
        return answer(gpu(device).memoryClockResult, gpu(device).memoryClockMHz, mhz);
    }
    return 2;
}

int nvmlDeviceGetUtilizationRates(void* device, FakeUtilization* utilization) {
    const int result =
        answer(gpu(device).utilizationResult, gpu(device).utilizationPercent, &utilization->gpu);
    if (result == success) {
        utilization->memory = 0;
    }
    return result;
}

int nvmlDeviceGetFieldValues(void* device, int count, FakeFieldValue* values) {
    for (int i = 0; i < count; ++i) {
        auto& field = values[i];
        field.result = field.fieldId == 82 ? gpu(device).memoryTemperatureResult : 2;
        if (field.result == success) {
            field.valueType = 1; // unsigned int, in the first bytes of the value
            field.value = 0;
            std::memcpy(&field.value, &gpu(device).memoryTemperatureCelsius, sizeof(unsigned));
        }
    }
    return success;
}

int nvmlDeviceGetFanSpeed(void* device, unsigned* percent) {
    return answer(gpu(device).fanPercentResult, gpu(device).fanPercent, percent);
}

int nvmlDeviceGetEnforcedPowerLimit(void* device, unsigned* milliwatts) {
    return answer(gpu(device).powerLimitResult, gpu(device).powerLimitMilliwatts, milliwatts);
}
}
