#include "collector/gpu_info_collector.h"
#include "collector/inventory/profiler_output.h"
#include "platform/diagnostics.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <nlohmann/json.hpp>

namespace tarsik {
namespace {

using Json = nlohmann::json;

// Real output nests six levels at most; far deeper input is not a profiler's, and the
// recursive parts of the JSON library (printing, comparing) must never meet it.
constexpr int nestingLimit = 64;
constexpr std::size_t outputLimit = platform::PosixProcessRunner::defaultOutputLimit;

// Whether arrays and objects nest no deeper than `limit`, looked at before parsing.
bool nestsWithin(std::string_view text, int limit) {
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) {
                return false;
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

const Json* find(const Json& object, const char* key) {
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

// Non-empty text as it is; a number or boolean as its text (a boolean as the digit 1 or 0).
std::optional<std::string> string(const Json* value) {
    if (value == nullptr) {
        return std::nullopt;
    }
    switch (value->type()) {
    case Json::value_t::string: {
        const auto& text = value->get_ref<const std::string&>();
        return text.empty() ? std::nullopt : std::optional(text);
    }
    case Json::value_t::boolean:
        return value->get<bool>() ? "1" : "0";
    case Json::value_t::number_integer:
        return std::to_string(value->get<std::int64_t>());
    case Json::value_t::number_unsigned:
        return std::to_string(value->get<std::uint64_t>());
    case Json::value_t::number_float: {
        std::array<char, 32> text{};
        const auto result = std::to_chars(text.data(), text.data() + text.size(), value->get<double>());
        return std::string(text.data(), result.ptr);
    }
    default:
        return std::nullopt;
    }
}

std::optional<std::string> firstThenNext(const Json& entry, const char* first, const char* next) {
    if (auto text = string(find(entry, first))) {
        return text;
    }
    return string(find(entry, next));
}

// The profiler writes some values as tokens; the listed ones have a display text, any other
// token means nothing useful.
std::string cleanProfilerValue(const std::optional<std::string>& value, const std::string& fallback) {
    if (!value || value->empty()) {
        return fallback;
    }
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 5> tokens{{
        {"sppci_vendor_amd", "AMD"},
        {"sppci_vendor_intel", "Intel"},
        {"sppci_vendor_nvidia", "NVIDIA"},
        {"spdisplays_pcie_device", "PCIe"},
        {"spdisplays_builtin", "Built-In"},
    }};
    for (const auto& [token, text] : tokens) {
        if (*value == token) {
            return std::string(text);
        }
    }
    if (value->starts_with("sppci_") || value->starts_with("spdisplays_")) {
        return fallback;
    }
    return *value;
}

std::string boolString(const Json* value) {
    if (value != nullptr && value->is_boolean()) {
        return value->get<bool>() ? "Yes" : "No";
    }
    if (value != nullptr && value->is_string()) {
        return value->get<std::string>();
    }
    return "Unknown";
}

// The profiler writes a display's flags as "spdisplays_yes" and "spdisplays_no"; taken literally,
// no display would ever be main and none ever offline.
std::string displayFlag(const Json* value) {
    auto text = boolString(value);
    if (text == "spdisplays_yes") {
        return "Yes";
    }
    if (text == "spdisplays_no") {
        return "No";
    }
    return text;
}

bool isArrayOfObjects(const Json& value) {
    return value.is_array() &&
           std::all_of(value.begin(), value.end(), [](const Json& element) { return element.is_object(); });
}

std::string description(const Json& value) {
    if (value.is_string()) {
        return value.get<std::string>();
    }
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::map<std::string, std::string> flatten(const Json& entry) {
    std::map<std::string, std::string> flat;
    for (const auto& [key, value] : entry.items()) {
        if (auto text = string(&value)) {
            flat[key] = std::move(*text);
        } else if (isArrayOfObjects(value)) {
            flat[key] = std::to_string(value.size()) + " item(s)";
        } else {
            flat[key] = description(value);
        }
    }
    return flat;
}

DisplayInfo displayFrom(const Json& element) {
    return DisplayInfo{
        .name = cleanProfilerValue(string(find(element, "_name")), "Display"),
        .resolution = cleanProfilerValue(
            firstThenNext(element, "_spdisplays_resolution", "spdisplays_resolution"), "Unknown"),
        .main = displayFlag(find(element, "spdisplays_main")) == "Yes",
        .online = displayFlag(find(element, "spdisplays_online")) != "No",
    };
}

} // namespace

ProfilerRecords parseProfilerOutput(std::string_view output) {
    if (output.size() > outputLimit) {
        return {.rejection = "larger than " + std::to_string(outputLimit) + " bytes"};
    }
    if (!nestsWithin(output, nestingLimit)) {
        return {.rejection = "nested deeper than " + std::to_string(nestingLimit) + " levels"};
    }
    const Json document = Json::parse(output.begin(), output.end(), nullptr, false);
    if (document.is_discarded()) {
        return {.rejection = "not JSON"};
    }
    const Json* entries = document.is_object() ? find(document, "SPDisplaysDataType") : nullptr;
    if (entries == nullptr || !isArrayOfObjects(*entries)) {
        return {.rejection = "no SPDisplaysDataType list of objects"};
    }

    std::vector<GPUDevice> devices;
    for (const auto& entry : *entries) {
        const auto name = firstThenNext(entry, "sppci_model", "_name").value_or("Unknown GPU");
        GPUDevice device{
            .name = name,
            .vendor =
                cleanProfilerValue(string(find(entry, "spdisplays_vendor")), GPUInfoCollector::vendor(name)),
            .chipsetModel = cleanProfilerValue(string(find(entry, "sppci_model")), name),
            .type = cleanProfilerValue(string(find(entry, "spdisplays_gputype")), "GPU"),
            .bus = cleanProfilerValue(string(find(entry, "sppci_bus")), "Unknown"),
            .pciDeviceID = cleanProfilerValue(firstThenNext(entry, "spdisplays_device-id", "sppci_device-id"),
                                              "Unknown"),
            .pciRevisionID = cleanProfilerValue(string(find(entry, "spdisplays_revision-id")), "Unknown"),
            .vram = cleanProfilerValue(firstThenNext(entry, "spdisplays_vram", "spdisplays_vram_shared"),
                                       "Unknown"),
            .metalFamily = "Unknown",
            .raw = flatten(entry),
        };
        if (const Json* displays = find(entry, "spdisplays_ndrvs"); displays && isArrayOfObjects(*displays)) {
            for (const auto& element : *displays) {
                device.displays.push_back(displayFrom(element));
            }
        }
        // Our profiler's exact size behind the rounded text; not a property to list.
        if (const Json* bytes = find(entry, vramBytesKey); bytes && bytes->is_number_unsigned()) {
            device.vramBytes = bytes->get<std::uint64_t>();
        }
        device.raw.erase(vramBytesKey);
        device.raw["Profiler Source"] = "system_profiler SPDisplaysDataType";
        devices.push_back(std::move(device));
    }
    return {.devices = std::move(devices)};
}

std::vector<GPUDevice> GPUInfoCollector::parseSystemProfiler() const {
    if (!services_.processRunner) {
        return {};
    }
    const auto output = services_.processRunner->run(services_.profiler,
                                                     {"SPDisplaysDataType", "-json", "-detailLevel", "full"});
    if (!output) {
        return {};
    }
    auto records = parseProfilerOutput(*output);
    if (!records.rejection.empty()) {
        platform::diagnose(services_.profiler.string() +
                           " printed output that was rejected: " + records.rejection);
    }
    return std::move(records.devices);
}

} // namespace tarsik
