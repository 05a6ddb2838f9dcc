#include "texts/json_report.h"

#include "texts/report_values.h"

#include <nlohmann/json.hpp>

namespace tarsik {
namespace {

using Json = nlohmann::ordered_json;

Json displayJson(const DisplayInfo& display) {
    return Json{
        {"name", display.name},
        {"resolution", display.resolution},
        {"main", display.main},
        {"online", display.online},
    };
}

Json readingJson(const MeasuredReading& measured) {
    return Json{
        {"kind", measured.kind},
        {"name", measured.reading->name},
        {"value", measured.value()},
        {"unit", measured.unit},
        {"source", measured.reading->note},
        {"origin", measured.reading->measurement->origin},
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
    for (const auto& measured : measuredReadings(report.readings)) {
        json["readings"].push_back(readingJson(measured));
    }
    json["runtimeSuspended"] = runtimeSuspended(report.readings).value_or(false);
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
