#include "platform/hwmon/hwmon_statistics.h"

#include "platform/file_reader.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace tarsik::platform {
namespace {

namespace fs = std::filesystem;

// A file of one device's folder, known by its path and by the origin readings give for it.
class DeviceFiles {
  public:
    explicit DeviceFiles(fs::path device) : device_(std::move(device)) {}

    // A fixed-point sysfs value divided into natural units. Errors such as EPERM, EBUSY, ENODATA
    // or EIO, "N/A", junk and numbers beyond 64 bits give nothing.
    std::optional<Sample> read(const fs::path& file, double divisor) const {
        const auto text = readAttribute(file);
        if (!text) {
            return std::nullopt;
        }
        const auto value = parseSigned(*text);
        if (!value) {
            return std::nullopt;
        }
        return Sample{.value = static_cast<double>(*value) / divisor,
                      .origin = file.lexically_relative(device_).generic_string()};
    }

    const fs::path& directory() const { return device_; }

  private:
    fs::path device_;
};

struct Hwmon {
    fs::path directory;
    std::string name;
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

// The channel number of a hwmon file name such as "in12_label" with prefix "in".
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

// Labelled channels of one kind ("temp", "in", "power"), ascending by channel.
std::vector<std::pair<unsigned, std::string>> labels(const Hwmon& hwmon, std::string_view prefix) {
    std::vector<std::pair<unsigned, std::string>> found;
    std::error_code error;
    fs::directory_iterator entries(hwmon.directory, error);
    for (const fs::directory_iterator end; !error && entries != end; entries.increment(error)) {
        if (const auto channel = channelOf(entries->path().filename().string(), prefix, "_label")) {
            if (auto label = readAttribute(entries->path())) {
                found.emplace_back(*channel, std::move(*label));
            }
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string channelFile(std::string_view prefix, unsigned channel, std::string_view suffix) {
    return std::string(prefix) + std::to_string(channel) + std::string(suffix);
}

// Reads hwmon files of one driver; labels are read once.
class HwmonReader {
  public:
    HwmonReader(const DeviceFiles& files, Hwmon hwmon)
        : files_(files), hwmon_(std::move(hwmon)), temperatureLabels_(labels(hwmon_, "temp")),
          voltageLabels_(labels(hwmon_, "in")), powerLabels_(labels(hwmon_, "power")) {}

    const std::string& driver() const { return hwmon_.name; }

    std::optional<Sample> read(const char* file, double divisor) const {
        return files_.read(hwmon_.directory / file, divisor);
    }
    bool has(const char* file) const {
        std::error_code error;
        return fs::exists(hwmon_.directory / file, error);
    }

    // The temperature channel labelled `label`, in degrees; labels without an input give nothing.
    std::optional<Sample> temperature(std::string_view label) const {
        return labelled(temperatureLabels_, label, "temp", "_input", 1000);
    }
    // A power channel's file by its label ("card", "pkg"), in watts.
    std::optional<Sample> power(std::string_view label, std::string_view suffix) const {
        return labelled(powerLabels_, label, "power", suffix, 1'000'000);
    }

    // amdgpu's edge sensor: the input labelled "edge", or temp1 on kernels that label nothing.
    std::optional<Sample> edgeTemperature() const {
        if (auto edge = temperature("edge")) {
            return edge;
        }
        return has("temp1_label") ? std::nullopt : read("temp1_input", 1000);
    }

    // Every voltage input, by its label (or "inN" without one), in volts.
    void addVoltages(GPUStatistics& statistics) const {
        std::error_code error;
        std::vector<unsigned> channels;
        fs::directory_iterator entries(hwmon_.directory, error);
        for (const fs::directory_iterator end; !error && entries != end; entries.increment(error)) {
            if (const auto channel = channelOf(entries->path().filename().string(), "in", "_input")) {
                channels.push_back(*channel);
            }
        }
        std::sort(channels.begin(), channels.end());
        for (const auto channel : channels) {
            const auto label = std::find_if(voltageLabels_.begin(), voltageLabels_.end(),
                                            [channel](const auto& found) { return found.first == channel; });
            auto name = label != voltageLabels_.end() && !label->second.empty() ? label->second
                                                                                 : channelFile("in", channel, "");
            statistics.addMore("voltage", std::move(name),
                               files_.read(hwmon_.directory / channelFile("in", channel, "_input"), 1000),
                               ranges::volts);
        }
    }

    // The fan's duty cycle in percent, while the driver controls the fan: pwm1_enable 0 means no
    // control at all (full speed), so pwm1 then says nothing. nouveau counts pwm1 in percent, the
    // others from 0 to 255 as hwmon defines it.
    // A mode that cannot be read may be that one.
    std::optional<Sample> fanDuty() const {
        if (has("pwm1_enable")) {
            const auto enable = read("pwm1_enable", 1);
            if (!enable || enable->value == 0) {
                return std::nullopt;
            }
        }
        return read("pwm1", hwmon_.name == "nouveau" ? 1 : 2.55);
    }

  private:
    std::optional<Sample> labelled(const std::vector<std::pair<unsigned, std::string>>& channels,
                                   std::string_view label, std::string_view prefix, std::string_view suffix,
                                   double divisor) const {
        for (const auto& [channel, name] : channels) {
            if (name == label) {
                return files_.read(hwmon_.directory / channelFile(prefix, channel, suffix), divisor);
            }
        }
        return std::nullopt;
    }

    const DeviceFiles& files_;
    Hwmon hwmon_;
    std::vector<std::pair<unsigned, std::string>> temperatureLabels_;
    std::vector<std::pair<unsigned, std::string>> voltageLabels_;
    std::vector<std::pair<unsigned, std::string>> powerLabels_;
};

constexpr double micro = 1'000'000;

void readAmdgpu(const HwmonReader& hwmon, GPUStatistics& statistics) {
    const auto junction = hwmon.temperature("junction");
    // MI300-class parts have no edge sensor at all; their hotspot is the GPU's temperature. An
    // edge sensor that fails to read gives no temperature rather than another sensor's.
    statistics.add("Temperature(C)", hwmon.has("temp1_input") ? hwmon.edgeTemperature() : junction,
                   ranges::temperature);
    // Most cards have only one of the two power files; power1_input came with Linux 6.6.
    auto power = hwmon.read("power1_average", micro);
    if (!power) {
        power = hwmon.read("power1_input", micro);
    }
    // An APU's power is the whole package's, its CPU cores included: showing it as the GPU's
    // power would be wrong. Only APUs have the "vddnb" rail, in1; its file is there even when it
    // cannot be read, so a failing read never makes an APU look like a card.
    const bool apu = hwmon.has("in1_input");
    if (!apu) {
        statistics.add("Total Power(W)", power, ranges::power);
    }
    statistics.add("Fan Speed(RPM)", hwmon.read("fan1_input", 1), ranges::fanRpm);
    statistics.add("Core Clock(MHz)", hwmon.read("freq1_input", micro), ranges::clockMHz); // hertz
    statistics.add("Memory Clock(MHz)", hwmon.read("freq2_input", micro), ranges::clockMHz);

    statistics.addMore("junctionTemperature", "", junction, ranges::hotspotTemperature);
    statistics.addMore("memoryTemperature", "", hwmon.temperature("mem"), ranges::hotspotTemperature);
    statistics.addMore("fanDuty", "", hwmon.fanDuty(), ranges::percent);
    statistics.addMore("powerLimit", "", hwmon.read("power1_cap", micro), ranges::powerLimit);
    if (apu) {
        statistics.addMore("packagePower", "", power, ranges::power);
    }
}

void readHwmon(const HwmonReader& hwmon, GPUStatistics& statistics) {
    const auto& driver = hwmon.driver();
    if (driver == "amdgpu") {
        readAmdgpu(hwmon, statistics);
    } else if (driver == "radeon") {
        statistics.add("Temperature(C)", hwmon.read("temp1_input", 1000), ranges::temperature);
        statistics.add("Core Clock(MHz)", hwmon.read("freq1_input", micro), ranges::clockMHz);
        statistics.addMore("fanDuty", "", hwmon.fanDuty(), ranges::percent);
    } else if (driver == "nouveau") {
        statistics.add("Temperature(C)", hwmon.read("temp1_input", 1000), ranges::temperature);
        statistics.add("Total Power(W)", hwmon.read("power1_input", micro), ranges::power);
        statistics.add("Fan Speed(RPM)", hwmon.read("fan1_input", 1), ranges::fanRpm);
        statistics.addMore("fanDuty", "", hwmon.fanDuty(), ranges::percent);
    } else if (driver == "xe") {
        // xe's temp1 ("card") has a label but no input; the package sensor is the GPU's.
        statistics.add("Temperature(C)", hwmon.temperature("pkg"), ranges::temperature);
        statistics.add("Fan Speed(RPM)", hwmon.read("fan1_input", 1), ranges::fanRpm);
        statistics.addMore("memoryTemperature", "", hwmon.temperature("vram"), ranges::hotspotTemperature);
        // The card's sustained limit (PL1) where the driver has it, else the package's.
        auto limit = hwmon.power("card", "_max");
        statistics.addMore("powerLimit", "", limit ? limit : hwmon.power("pkg", "_max"), ranges::powerLimit);
    } else if (driver == "i915") {
        // i915 publishes neither a temperature nor an instantaneous power, only an energy counter.
        statistics.add("Fan Speed(RPM)", hwmon.read("fan1_input", 1), ranges::fanRpm);
        statistics.addMore("powerLimit", "", hwmon.read("power1_max", micro), ranges::powerLimit);
    }
    hwmon.addVoltages(statistics);
}

// i915 keeps the actual GT frequency on the DRM card, xe per tile and GT.
std::optional<Sample> intelCoreClock(const PCIDevice& device, const DeviceFiles& files) {
    if (device.driver == "xe") {
        return files.read(device.directory / "tile0/gt0/freq0/act_freq", 1);
    }
    for (const auto& card : entriesStartingWith(device.directory / "drm", "card")) {
        if (auto mhz = files.read(card / "gt_act_freq_mhz", 1)) {
            return mhz;
        }
    }
    return std::nullopt;
}

} // namespace

GPUStatistics sysfsGPUStatistics(const PCIDevice& device) {
    const DeviceFiles files(device.directory);
    GPUStatistics statistics;
    std::optional<HwmonReader> hwmon;
    if (auto found = findHwmon(device.directory)) {
        hwmon.emplace(files, std::move(*found));
        readHwmon(*hwmon, statistics);
    }
    if (device.driver == "amdgpu") {
        statistics.add("Device Utilization %", files.read(device.directory / "gpu_busy_percent", 1),
                       ranges::percent);
        // TTM's counts, kept by the driver: reading them wakes nothing.
        statistics.addMore("memoryUsed", "", files.read(device.directory / "mem_info_vram_used", 1), ranges::bytes);
        statistics.addMore("gttUsed", "", files.read(device.directory / "mem_info_gtt_used", 1), ranges::bytes);
        statistics.addMore("gttTotal", "", files.read(device.directory / "mem_info_gtt_total", 1), ranges::bytes);
    } else if (device.driver == "i915" || device.driver == "xe") {
        // Integrated Intel GPUs have no hwmon, but their clock is still there.
        statistics.add("Core Clock(MHz)", intelCoreClock(device, files), ranges::clockMHz);
    }
    return statistics;
}

} // namespace tarsik::platform
