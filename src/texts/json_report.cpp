#include "texts/json_report.h"

#include "texts/report_values.h"

#include <nlohmann/json.hpp>

namespace tarsik {
namespace {

using Json = nlohmann::ordered_json;

// The kind names of the schema, in SensorKind order.
constexpr std::array<const char*, canonicalSensorForms.size()> kindNames{
    "temperature", "power", "fan", "coreClock", "memoryClock", "load",
};

Json displayJson(const DisplayInfo& display) {
    return Json{
        {"name", display.name},
        {"resolution", display.resolution},
        {"main", display.main},
        {"online", display.online},
    };
}

Json readingJson(const DynamicReading& dynamic) {
    return Json{
        {"kind", kindNames[static_cast<std::size_t>(dynamic.kind)]},
        {"name", dynamic.reading->name},
        {"value", dynamic.value},
        {"unit", dynamic.reading->unit},
        {"source", dynamic.reading->note},
    };
}

Json gpuJson(const GPUReport& report) {
    const auto& gpu = report.device;
    Json json = Json::object();
    if (const auto* slot = pciSlotOf(gpu)) {
        json["pciSlot"] = *slot;
    }
    json["name"] = gpu.name;
    json["vendor"] = gpu.vendor;
    json["chipset"] = gpu.chipsetModel;
    json["type"] = gpu.type;
    json["bus"] = gpu.bus;
    json["deviceId"] = gpu.pciDeviceID;
    json["revisionId"] = gpu.pciRevisionID;
    json["vram"] = gpu.vram;
    json["metal"] = gpu.metalFamily;
    json["displays"] = Json::array();
    for (const auto& display : gpu.displays) {
        json["displays"].push_back(displayJson(display));
    }
    json["readings"] = Json::array();
    for (const auto& dynamic : dynamicReadings(report.readings)) {
        json["readings"].push_back(readingJson(dynamic));
    }
    json["properties"] = Json(gpu.raw);
    return json;
}

} // namespace

std::string jsonReport(const std::vector<GPUReport>& gpus,
                       std::chrono::system_clock::time_point generatedAt) {
    Json document{{"generated", isoTimestamp(generatedAt)}, {"gpus", Json::array()}};
    for (const auto& report : gpus) {
        if (!isNoGPUPlaceholder(report.device)) {
            document["gpus"].push_back(gpuJson(report));
        }
    }
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
}

} // namespace tarsik
