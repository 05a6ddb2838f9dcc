#pragma once

// The state of the fake NVML library the tests build: what it answers and what it was asked.
// Tests reach it through the exported fakeNvmlState() after loading the same library file that
// the code under test loads.

extern "C" {

struct FakeNVMLGPU {
    char busId[32]; // as NVML writes it: "00000000:01:00.0"
    // Each field answers its result code (0 success, 3 not supported, ...) and, on success, its value.
    int temperatureResult;
    unsigned temperatureCelsius;
    int powerResult;
    unsigned powerMilliwatts;
    int fanResult;
    unsigned fanRpm;
    int graphicsClockResult;
    unsigned graphicsClockMHz;
    int memoryClockResult;
    unsigned memoryClockMHz;
    int utilizationResult;
    unsigned utilizationPercent;
    int memoryResult;
    unsigned long long memoryTotalBytes;
    unsigned long long memoryUsedBytes;
    int memoryTemperatureResult; // the field value's own result
    unsigned memoryTemperatureCelsius;
    int fanPercentResult;
    unsigned fanPercent;
    int powerLimitResult;
    unsigned powerLimitMilliwatts;
};

struct FakeNVMLState {
    int initResult;
    // While non-zero, initialisation does not return: a wedged driver. Read and written atomically.
    int initBlocked;
    unsigned gpuCount;
    FakeNVMLGPU gpus[8];
    // Calls seen.
    unsigned initCalls;
    unsigned initReturns; // atomically, after initialisation returned
    unsigned shutdownCalls;
    char lookedUp[256]; // the first bus ids asked for, each followed by ";"
};

FakeNVMLState* fakeNvmlState();
}
