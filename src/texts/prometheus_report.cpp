#include "texts/prometheus_report.h"

#include "texts/report_values.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <utility>

namespace tarsik {
namespace {

struct Family {
    const char* name;
    const char* help;
};

constexpr Family infoFamily{"tarsik_gpu_info", "The GPU as tarsik-report names it; always 1."};
constexpr Family memoryFamily{"tarsik_gpu_memory_total_bytes",
                              "Memory of the GPU (VRAM, or the working set of a GPU that shares system "
                              "memory), in bytes as its driver counts them."};

// One family per measured kind, in the order they are written. The measurement times
// `multiplier`, over `divisor`, is in the family's unit; dividing keeps 57 % at 0.57 exactly.
struct ReadingFamily {
    std::string_view kind;
    Family family;
    double multiplier = 1;
    double divisor = 1;
};

constexpr std::array<ReadingFamily, 15> readingFamilies{{
    {"temperature", {"tarsik_gpu_temperature_celsius", "GPU temperature."}, 1},
    {"power", {"tarsik_gpu_power_watts", "GPU power draw."}, 1},
    {"fan", {"tarsik_gpu_fan_rpm", "GPU fan speed in revolutions per minute."}, 1},
    {"coreClock", {"tarsik_gpu_core_clock_hertz", "GPU core clock."}, 1e6, 1},
    {"memoryClock", {"tarsik_gpu_memory_clock_hertz", "GPU memory clock."}, 1e6, 1},
    {"load", {"tarsik_gpu_load_ratio", "GPU load, from 0 to 1."}, 1, 100},
    {"junctionTemperature",
     {"tarsik_gpu_junction_temperature_celsius", "Hottest point of the GPU die (hotspot)."},
     1},
    {"memoryTemperature", {"tarsik_gpu_memory_temperature_celsius", "GPU memory temperature."}, 1},
    {"memoryUsed", {"tarsik_gpu_memory_used_bytes", "GPU memory (VRAM) in use."}, 1},
    {"gttUsed", {"tarsik_gpu_gtt_used_bytes", "System memory mapped for the GPU (GTT) in use."}, 1},
    {"gttTotal", {"tarsik_gpu_gtt_total_bytes", "System memory the GPU may map (GTT)."}, 1},
    {"fanDuty", {"tarsik_gpu_fan_duty_ratio", "GPU fan duty cycle, from 0 to 1."}, 1, 100},
    {"powerLimit", {"tarsik_gpu_power_limit_watts", "GPU power limit the driver enforces."}, 1},
    {"voltage", {"tarsik_gpu_voltage_volts", "GPU voltage, by rail."}, 1},
    {"packagePower",
     {"tarsik_gpu_package_power_watts", "Power of the whole package an integrated GPU shares with the CPU."},
     1},
}};

constexpr Family sleepFamily{"tarsik_gpu_runtime_suspended",
                             "1 while the GPU is runtime-suspended (asleep, its sensors not read), else 0."};

std::string label(std::string_view name, std::string_view value) {
    return std::string(name) + "=\"" + prometheusLabelValue(value) + '"';
}

struct Series {
    const GPUReport* report;
    std::string labels; // slot and gpu
};

class Exposition {
  public:
    void add(const Family& family, const std::vector<std::string>& samples) {
        if (samples.empty()) {
            return;
        }
        text_ += std::string("# HELP ") + family.name + ' ' + family.help + '\n';
        text_ += std::string("# TYPE ") + family.name + " gauge\n";
        for (const auto& sample : samples) {
            text_ += family.name + sample + '\n';
        }
    }
    std::string text() && { return std::move(text_); }

  private:
    std::string text_;
};

std::vector<Series> seriesOf(const std::vector<GPUReport>& gpus) {
    std::vector<Series> series;
    std::set<std::string> seen;
    for (const auto& report : gpus) {
        if (isNoGPUPlaceholder(report.device)) {
            continue;
        }
        const auto* slot = pciSlotOf(report.device);
        auto labels = label("slot", slot ? *slot : "") + ',' + label("gpu", report.device.name);
        if (seen.insert(labels).second) {
            series.push_back(Series{.report = &report, .labels = std::move(labels)});
        }
    }
    return series;
}

} // namespace

std::string prometheusLabelValue(std::string_view text) {
    // The JSON library's lenient writer repairs invalid UTF-8; reading its output back gives the text.
    const auto valid = nlohmann::json::parse(nlohmann::json(text).dump(
                                                 -1, ' ', false, nlohmann::json::error_handler_t::replace))
                           .get<std::string>();
    std::string escaped;
    for (const char c : valid) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '"':
            escaped += "\\\"";
            break;
        case '\n':
            escaped += "\\n";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string prometheusReport(const std::vector<GPUReport>& gpus) {
    const auto series = seriesOf(gpus);
    Exposition exposition;

    std::vector<std::string> samples;
    for (const auto& [report, labels] : series) {
        const auto& gpu = report->device;
        samples.push_back('{' + labels + ',' + label("vendor", gpu.vendor) + ',' +
                          label("chipset", gpu.chipsetModel) + ',' + label("type", gpu.type) + ',' +
                          label("bus", gpu.bus) + ',' + label("device_id", gpu.pciDeviceID) + ',' +
                          label("revision_id", gpu.pciRevisionID) + "} 1");
    }
    exposition.add(infoFamily, samples);

    samples.clear();
    for (const auto& [report, labels] : series) {
        if (const auto bytes = report->device.vramBytes; bytes != 0) {
            samples.push_back('{' + labels + "} " + std::to_string(bytes));
        }
    }
    exposition.add(memoryFamily, samples);

    std::array<std::vector<std::string>, readingFamilies.size()> readingSamples;
    for (const auto& [report, labels] : series) {
        // Discovery keeps one reading per kind (and per rail); a second would repeat the series.
        std::set<std::string> written;
        for (const auto& measured : measuredReadings(report->readings)) {
            const auto family = std::find_if(readingFamilies.begin(), readingFamilies.end(),
                                             [&measured](const auto& f) { return f.kind == measured.kind; });
            if (family == readingFamilies.end()) {
                continue;
            }
            auto sampleLabels = labels;
            if (measured.kind == "voltage") {
                sampleLabels += ',' + label("rail", measured.reading->name);
            }
            auto value = measured.value() * family->multiplier / family->divisor;
            if (family->multiplier > 1) {
                value =
                    std::round(value); // clocks count whole hertz; megahertz from hertz may not round-trip
            }
            if (written.insert(std::string(measured.kind) + '{' + sampleLabels).second) {
                readingSamples[static_cast<std::size_t>(family - readingFamilies.begin())].push_back(
                    '{' + sampleLabels + "} " + plainNumber(value));
            }
        }
    }
    for (std::size_t kind = 0; kind < readingFamilies.size(); ++kind) {
        exposition.add(readingFamilies[kind].family, readingSamples[kind]);
    }

    samples.clear();
    for (const auto& [report, labels] : series) {
        if (const auto suspended = runtimeSuspended(report->readings)) {
            samples.push_back('{' + labels + "} " + (*suspended ? "1" : "0"));
        }
    }
    exposition.add(sleepFamily, samples);
    return std::move(exposition).text();
}

} // namespace tarsik
