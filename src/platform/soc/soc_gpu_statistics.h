#pragma once

#include "platform/registry/gpu_statistics.h"
#include "platform/soc/drm_platform_gpus.h"

#include <chrono>
#include <optional>
#include <string_view>

namespace tarsik::platform {

// A platform GPU's live values under the keys of sysfsGPUStatistics: "Core Clock(MHz)" from its
// devfreq folder, "Temperature(C)" from the hottest thermal zone that cools it, and "Device
// Utilization %" from two samples `loadWindow` apart of v3d's job counters, else of the time the
// GPU was awake. A suspended GPU keeps only its temperature: the zone is the SoC's sensor, and
// the other values would at best say it is idle.
GPUStatistics socGPUStatistics(const PlatformGPU& gpu, const SystemPaths& paths,
                               std::chrono::milliseconds loadWindow);

// Busy time and elapsed time, in any one unit, from one sample of a counter.
struct BusySample {
    double busy = 0;
    double elapsed = 0;
};

// v3d's gpu_stats ("queue timestamp jobs runtime", one line per queue, nanoseconds): the sum of
// every queue's runtime against the newest timestamp. Nothing without a queue line.
std::optional<BusySample> parseV3dGPUStats(std::string_view text);

// The share of `elapsed` spent busy between two samples, in percent; nothing when no time passed
// or a counter went backwards.
std::optional<double> busyPercent(const BusySample& first, const BusySample& second);

} // namespace tarsik::platform
