#include "collector/gpu_info_collector.h"
#include "collector/sensors/more_readings.h"
#include "collector/sensors/registry_scan.h"
#include "collector/sensors/sensor_pipeline.h"

namespace tarsik {
namespace {

std::vector<SensorReading> registryReadings(const std::vector<platform::RegistryEntry>& entries) {
    std::vector<SensorReading> readings;
    for (const auto& entry : entries) {
        auto entryReadings = registryEntryReadings(entry);
        readings.insert(readings.end(), std::make_move_iterator(entryReadings.begin()),
                        std::make_move_iterator(entryReadings.end()));
    }
    return readings;
}

} // namespace

std::vector<SensorReading> GPUInfoCollector::sensorsSynchronously(const GPUDevice* gpu) const {
    if (gpu == nullptr) {
        return {};
    }
    // The registry holds one entry per GPU here, named by its slot. Machine-wide readings would
    // show one GPU's temperature under another, so a GPU whose slot is known reads only its own.
    const auto* slot = pciSlotOf(*gpu);
    const auto entries = registryEntries(slot);
    auto dynamic = readSMCGPUSensors();
    auto registry = registryReadings(entries);
    dynamic.insert(dynamic.end(), std::make_move_iterator(registry.begin()), std::make_move_iterator(registry.end()));
    dynamic = rankedGPUReadings(dynamic);

    auto readings = basicSensorsSynchronously(gpu);
    if (dynamic.empty()) {
        readings.push_back(noGPUSensorsPlaceholder());
    } else {
        readings.insert(readings.end(), dynamic.begin(), dynamic.end());
    }
    // The readings beyond the six belong to one GPU, so only a GPU known by its slot has them.
    for (const auto& entry : entries) {
        if (slot != nullptr && entry.name == *slot) {
            const auto more = moreGPUReadings(entry);
            readings.insert(readings.end(), more.begin(), more.end());
        }
    }
    return readings;
}

std::vector<SensorReading> GPUInfoCollector::readDynamicGPUSensors() const {
    auto all = readSMCGPUSensors();
    auto registry = readIORegistryGPUSensors();
    all.insert(all.end(), std::make_move_iterator(registry.begin()), std::make_move_iterator(registry.end()));
    return rankedGPUReadings(all);
}

std::vector<SensorReading> GPUInfoCollector::readIORegistryGPUSensors() const {
    return registryReadings(registryEntries(nullptr));
}

std::vector<platform::RegistryEntry> GPUInfoCollector::registryEntries(const std::string* name) const {
    if (!services_.registry) {
        return {};
    }
    return services_.registry->entries(name ? std::optional<std::string_view>(*name) : std::nullopt);
}

} // namespace tarsik
