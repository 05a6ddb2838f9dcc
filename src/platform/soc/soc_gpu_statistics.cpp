#include "platform/soc/soc_gpu_statistics.h"

#include "platform/diagnostics.h"
#include "platform/file_reader.h"
#include "platform/pci/pci_device.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <thread>

namespace tarsik::platform {
namespace {

namespace fs = std::filesystem;

// The devfreq class folder sits below the GPU's device; its name has changed across kernels,
// so it is found there rather than by name.
std::optional<double> coreClockMHz(const PlatformGPU& gpu) {
    for (const auto& folder : entriesStartingWith(gpu.directory / "devfreq", "")) {
        if (const auto hertz = readUnsignedAttribute(folder / "cur_freq")) {
            return static_cast<double>(*hertz) / 1e6;
        }
    }
    return std::nullopt;
}

// "cdev3", not "cdev3_trip_point" or "cdev3_weight".
bool isCoolingLink(const std::string& name) {
    return name.size() > 4 && std::all_of(name.begin() + 4, name.end(), [](char c) {
               return std::isdigit(static_cast<unsigned char>(c)) != 0;
           });
}

bool coolsGPU(const fs::path& zone, const PlatformGPU& gpu) {
    const auto coolingType = "devfreq-" + gpu.busAddress;
    return std::ranges::any_of(entriesStartingWith(zone, "cdev"), [&](const fs::path& link) {
        return isCoolingLink(link.filename().string()) && readAttribute(link / "type") == coolingType;
    });
}

// Nothing when the zone's type cannot be read.
std::optional<bool> namesGPU(const fs::path& zone) {
    auto type = readAttribute(zone / "type");
    if (!type) {
        return std::nullopt;
    }
    std::transform(type->begin(), type->end(), type->begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return type->find("gpu") != std::string::npos;
}

// The zones that throttle the GPU through its devfreq cooling device, else those whose type names
// a GPU ("gpu-thermal", "gpuss-0-thermal"); the hottest of them. A sensor that is off reads
// absurd values (-256 °C) and is left out.
std::optional<double> temperature(const PlatformGPU& gpu, const SystemPaths& paths) {
    const auto zones = entriesStartingWith(paths.thermalClass(), "thermal_zone");
    std::vector<fs::path> chosen;
    std::copy_if(zones.begin(), zones.end(), std::back_inserter(chosen),
                 [&gpu](const fs::path& zone) { return coolsGPU(zone, gpu); });
    if (chosen.empty()) {
        for (const auto& zone : zones) {
            const auto named = namesGPU(zone);
            // An unreadable zone may be one of the GPU's, and perhaps its hottest.
            if (!named) {
                return std::nullopt;
            }
            if (*named) {
                chosen.push_back(zone);
            }
        }
    }
    std::optional<double> hottest;
    for (const auto& zone : chosen) {
        const auto text = readAttribute(zone / "temp");
        const auto millidegrees = text ? parseSigned(*text) : std::nullopt;
        // A zone that cannot be read may be the hottest: better no temperature than a low one.
        if (!millidegrees) {
            return std::nullopt;
        }
        if (*millidegrees <= -40'000 || *millidegrees >= 150'000) {
            continue;
        }
        const double degrees = static_cast<double>(*millidegrees) / 1000;
        hottest = std::max(hottest.value_or(degrees), degrees);
    }
    return hottest;
}

// v3d counts each job queue's busy time; any other GPU only how long it was awake.
enum class LoadCounter { v3dJobs, runtimePm };

std::optional<BusySample> loadSample(const PlatformGPU& gpu, LoadCounter counter) {
    if (counter == LoadCounter::v3dJobs) {
        const auto text = readFile(gpu.directory / "gpu_stats");
        return text ? parseV3dGPUStats(*text) : std::nullopt;
    }
    const auto active = readUnsignedAttribute(gpu.directory / "power/runtime_active_time");
    const auto suspended = readUnsignedAttribute(gpu.directory / "power/runtime_suspended_time");
    if (!active || !suspended) {
        return std::nullopt;
    }
    return BusySample{.busy = static_cast<double>(*active),
                      .elapsed = static_cast<double>(*active) + static_cast<double>(*suspended)};
}

// Both samples come from the same counter: one of each would compare nanoseconds of jobs with
// milliseconds awake.
std::optional<Sample> load(const PlatformGPU& gpu, std::chrono::milliseconds window) {
    auto counter = gpu.driver == "v3d" ? LoadCounter::v3dJobs : LoadCounter::runtimePm;
    auto first = loadSample(gpu, counter);
    if (!first && counter == LoadCounter::v3dJobs) {
        counter = LoadCounter::runtimePm;
        first = loadSample(gpu, counter);
    }
    if (!first) {
        return std::nullopt;
    }
    std::this_thread::sleep_for(window);
    const auto second = loadSample(gpu, counter);
    const auto percent = second ? busyPercent(*first, *second) : std::nullopt;
    if (!percent) {
        return std::nullopt;
    }
    return Sample{.value = *percent,
                  .origin = counter == LoadCounter::v3dJobs ? "gpu_stats" : "power/runtime_active_time"};
}

std::optional<Sample> sample(std::optional<double> value, const char* origin) {
    if (!value) {
        return std::nullopt;
    }
    return Sample{.value = *value, .origin = origin};
}

} // namespace

std::optional<BusySample> parseV3dGPUStats(std::string_view text) {
    std::optional<BusySample> sample;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const auto line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        // queue, timestamp, jobs, runtime
        std::array<std::string_view, 4> fields;
        std::size_t count = 0;
        for (std::string_view rest = line; !rest.empty() && count < fields.size(); ++count) {
            const auto blank = std::min(rest.find_first_of(" \t"), rest.size());
            fields[count] = rest.substr(0, blank);
            rest = trimmed(rest.substr(blank));
        }
        const auto timestamp = count == fields.size() ? parseUnsigned(fields[1]) : std::nullopt;
        const auto runtime = count == fields.size() ? parseUnsigned(fields[3]) : std::nullopt;
        if (!timestamp || !runtime) {
            continue; // the header, or junk
        }
        if (!sample) {
            sample.emplace();
        }
        sample->busy += static_cast<double>(*runtime);
        sample->elapsed = std::max(sample->elapsed, static_cast<double>(*timestamp));
    }
    return sample;
}

std::optional<double> busyPercent(const BusySample& first, const BusySample& second) {
    const double elapsed = second.elapsed - first.elapsed;
    const double busy = second.busy - first.busy;
    if (elapsed <= 0 || busy < 0) {
        return std::nullopt;
    }
    // Queues that overlap (v3d bins one frame while it renders another) can sum past the window.
    return std::min(100.0, 100 * busy / elapsed);
}

GPUStatistics socGPUStatistics(const PlatformGPU& gpu, const SystemPaths& paths,
                               std::chrono::milliseconds loadWindow) {
    GPUStatistics statistics;
    // A thermal zone is the SoC's sensor, not the GPU's alone, and reading it wakes nothing.
    statistics.add("Temperature(C)", sample(temperature(gpu, paths), "thermal zone temp"), ranges::temperature);
    if (isRuntimeSuspended(gpu.directory)) {
        diagnose("GPU " + gpu.busAddress + " sleeps (runtime-suspended); only its thermal zone is read");
        return statistics;
    }
    statistics.add("Core Clock(MHz)", sample(coreClockMHz(gpu), "devfreq cur_freq"), ranges::clockMHz);
    statistics.add("Device Utilization %", load(gpu, loadWindow), ranges::percent);
    return statistics;
}

} // namespace tarsik::platform
