#include "platform/gpu_statistics.h"

#include "platform/file_reader.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace tarsik::platform {
namespace {

namespace fs = std::filesystem;
using Dictionary = PropertyValue::Dictionary;

struct Hwmon {
    fs::path directory;
    std::string name;
};

// Each driver's values before they are put in order; unread ones stay empty.
struct Values {
    std::optional<double> temperature;
    std::optional<double> power;
    std::optional<double> fan;
    std::optional<double> coreClock;
    std::optional<double> memoryClock;
    std::optional<double> load;
    std::optional<double> junctionTemperature;
    std::optional<double> memoryTemperature;
    std::vector<std::pair<std::string, double>> voltages; // by label, millivolts
    std::optional<double> vramUsed;                       // bytes
};

// The first hwmon folder of the device that belongs to a GPU driver we know; the index after
// "hwmon" is not stable across boots.
std::optional<Hwmon> findHwmon(const fs::path& device) {
    static constexpr std::array<std::string_view, 5> drivers{"amdgpu", "radeon", "nouveau", "i915", "xe"};
    for (const auto& folder : entriesStartingWith(device / "hwmon", "hwmon")) {
        auto name = readAttribute(folder / "name");
        if (name && std::find(drivers.begin(), drivers.end(), *name) != drivers.end()) {
            return Hwmon{.directory = folder, .name = std::move(*name)};
        }
    }
    return std::nullopt;
}

// A fixed-point sysfs value divided into natural units. Errors such as EPERM, EBUSY, ENODATA or
// EIO, "N/A", junk and numbers beyond 64 bits give nothing.
std::optional<double> readScaled(const fs::path& file, double divisor) {
    const auto text = readAttribute(file);
    if (!text) {
        return std::nullopt;
    }
    const auto value = parseSigned(*text);
    if (!value) {
        return std::nullopt;
    }
    return static_cast<double>(*value) / divisor;
}

// The channel number of a hwmon file name such as "in12_input" with prefix "in".
std::optional<unsigned> channelOf(std::string_view file, std::string_view prefix, std::string_view suffix) {
    if (!file.starts_with(prefix) || !file.ends_with(suffix) ||
        file.size() <= prefix.size() + suffix.size()) {
        return std::nullopt;
    }
    const auto digits = file.substr(prefix.size(), file.size() - prefix.size() - suffix.size());
    unsigned channel = 0;
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), channel);
    if (ec != std::errc{} || ptr != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return channel;
}

// The value of the temperature channel labelled `label`, in degrees; labels without an input
// give nothing.
std::optional<double> labelledTemperature(const Hwmon& hwmon, std::string_view label) {
    std::error_code error;
    fs::directory_iterator entries(hwmon.directory, error);
    for (const fs::directory_iterator end; !error && entries != end; entries.increment(error)) {
        const auto file = entries->path().filename().string();
        const auto channel = channelOf(file, "temp", "_label");
        if (channel && readAttribute(entries->path()) == label) {
            return readScaled(hwmon.directory / ("temp" + std::to_string(*channel) + "_input"), 1000);
        }
    }
    return std::nullopt;
}

// amdgpu's edge sensor: the input labelled "edge", or temp1 on kernels that label nothing.
std::optional<double> edgeTemperature(const Hwmon& hwmon) {
    if (const auto edge = labelledTemperature(hwmon, "edge")) {
        return edge;
    }
    std::error_code error;
    if (fs::exists(hwmon.directory / "temp1_label", error)) {
        return std::nullopt;
    }
    return readScaled(hwmon.directory / "temp1_input", 1000);
}

std::vector<std::pair<std::string, double>> voltages(const Hwmon& hwmon) {
    std::vector<std::pair<unsigned, std::string>> channels;
    std::error_code error;
    fs::directory_iterator entries(hwmon.directory, error);
    for (const fs::directory_iterator end; !error && entries != end; entries.increment(error)) {
        if (const auto channel = channelOf(entries->path().filename().string(), "in", "_input")) {
            const auto label = readAttribute(hwmon.directory / ("in" + std::to_string(*channel) + "_label"));
            channels.emplace_back(*channel,
                                  label && !label->empty() ? *label : "in" + std::to_string(*channel));
        }
    }
    std::sort(channels.begin(), channels.end());
    std::vector<std::pair<std::string, double>> found;
    for (const auto& [channel, label] : channels) {
        if (const auto millivolts =
                readScaled(hwmon.directory / ("in" + std::to_string(channel) + "_input"), 1)) {
            found.emplace_back(label, *millivolts);
        }
    }
    return found;
}

void readHwmon(const Hwmon& hwmon, Values& values) {
    const auto file = [&hwmon](const char* name) { return hwmon.directory / name; };
    constexpr double milli = 1000;
    constexpr double micro = 1000000;
    if (hwmon.name == "amdgpu") {
        values.junctionTemperature = labelledTemperature(hwmon, "junction");
        // MI300-class parts have no edge sensor at all; their hotspot is the GPU's temperature.
        // An edge sensor that fails to read gives no temperature rather than another sensor's.
        std::error_code error;
        values.temperature = fs::exists(hwmon.directory / "temp1_input", error) ? edgeTemperature(hwmon)
                                                                                : values.junctionTemperature;
        values.memoryTemperature = labelledTemperature(hwmon, "mem");
        // Most cards have only one of the two power files; power1_input came with Linux 6.6.
        values.power = readScaled(file("power1_average"), micro);
        if (!values.power) {
            values.power = readScaled(file("power1_input"), micro);
        }
        values.fan = readScaled(file("fan1_input"), 1);
        values.coreClock = readScaled(file("freq1_input"), micro); // hertz
        values.memoryClock = readScaled(file("freq2_input"), micro);
    } else if (hwmon.name == "radeon") {
        values.temperature = readScaled(file("temp1_input"), milli);
        values.coreClock = readScaled(file("freq1_input"), micro);
    } else if (hwmon.name == "nouveau") {
        values.temperature = readScaled(file("temp1_input"), milli);
        values.power = readScaled(file("power1_input"), micro);
        values.fan = readScaled(file("fan1_input"), 1);
    } else if (hwmon.name == "xe") {
        // xe's temp1 ("card") has a label but no input; the package sensor is the GPU's.
        values.temperature = labelledTemperature(hwmon, "pkg");
        values.memoryTemperature = labelledTemperature(hwmon, "vram");
        values.fan = readScaled(file("fan1_input"), 1);
    } else if (hwmon.name == "i915") {
        // i915 publishes neither a temperature nor an instantaneous power, only an energy counter.
        values.fan = readScaled(file("fan1_input"), 1);
    }
    values.voltages = voltages(hwmon);
}

// i915 keeps the actual GT frequency on the DRM card, xe per tile and GT.
std::optional<double> intelCoreClock(const PCIDevice& device) {
    if (device.driver == "xe") {
        return readScaled(device.directory / "tile0/gt0/freq0/act_freq", 1);
    }
    for (const auto& card : entriesStartingWith(device.directory / "drm", "card")) {
        if (const auto mhz = readScaled(card / "gt_act_freq_mhz", 1)) {
            return mhz;
        }
    }
    return std::nullopt;
}

// The registry scan would read a value outside these bounds as one in other units (a faulty
// 150 °C as 1.5 °C). Ours are natural units, so such a value is a faulty sensor and stays out.
struct Range {
    double lowest;
    double highest;
};

void add(Dictionary& statistics, std::string key, std::optional<double> value, Range range) {
    if (value && *value >= range.lowest && *value <= range.highest) {
        statistics.emplace_back(std::move(key), PropertyValue{*value});
    }
}

void addExtra(Dictionary& statistics, std::string key, std::optional<double> value) {
    if (value) {
        statistics.emplace_back(std::move(key), PropertyValue{*value});
    }
}

Dictionary ordered(const Values& values) {
    Dictionary statistics;
    add(statistics, "Temperature(C)", values.temperature, {-20, 130});
    add(statistics, "Total Power(W)", values.power, {0, 1000});
    add(statistics, "Fan Speed(RPM)", values.fan, {0, 20000});
    // GDDR6X and GDDR7 memory clocks pass 10000 MHz as the drivers count them.
    add(statistics, "Core Clock(MHz)", values.coreClock, {0, 20000});
    add(statistics, "Memory Clock(MHz)", values.memoryClock, {0, 20000});
    add(statistics, "Device Utilization %", values.load, {0, 100});
    addExtra(statistics, "Junction Temperature(C)", values.junctionTemperature);
    addExtra(statistics, "Memory Temperature(C)", values.memoryTemperature);
    for (const auto& [label, millivolts] : values.voltages) {
        addExtra(statistics, label + " Voltage(mV)", millivolts);
    }
    addExtra(statistics, "VRAM Used(B)", values.vramUsed);
    return statistics;
}

std::optional<double> fromUnsigned(std::optional<unsigned> value, double divisor = 1) {
    if (!value) {
        return std::nullopt;
    }
    return static_cast<double>(*value) / divisor;
}

} // namespace

PropertyValue::Dictionary sysfsGPUStatistics(const PCIDevice& device) {
    Values values;
    if (const auto hwmon = findHwmon(device.directory)) {
        readHwmon(*hwmon, values);
    }
    if (device.driver == "amdgpu") {
        values.load = readScaled(device.directory / "gpu_busy_percent", 1);
        values.vramUsed = readScaled(device.directory / "mem_info_vram_used", 1);
    } else if (device.driver == "i915" || device.driver == "xe") {
        // Integrated Intel GPUs have no hwmon, but their clock is still there.
        values.coreClock = intelCoreClock(device);
    }
    return ordered(values);
}

PropertyValue::Dictionary nvmlGpuStatistics(const NVMLGPUReadings& readings) {
    return ordered(Values{
        .temperature = fromUnsigned(readings.temperatureCelsius),
        .power = fromUnsigned(readings.powerMilliwatts, 1000),
        .fan = fromUnsigned(readings.fanRpm),
        .coreClock = fromUnsigned(readings.graphicsClockMHz),
        .memoryClock = fromUnsigned(readings.memoryClockMHz),
        .load = fromUnsigned(readings.utilisationPercent),
    });
}

} // namespace tarsik::platform
