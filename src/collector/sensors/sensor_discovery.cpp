#include "collector/gpu_info_collector.h"
#include "collector/sensors/registry_scan.h"
#include "collector/sensors/sensor_pipeline.h"

namespace tarsik {

std::vector<SensorReading> GPUInfoCollector::sensorsSynchronously(const GPUDevice* gpu) const {
    if (gpu == nullptr) {
        return {};
    }
    // The registry holds one entry per GPU here, named by its slot. Machine-wide readings would
    // show one GPU's temperature under another, so a GPU whose slot is known reads only its own.
    const auto dynamic = readDynamicGPUSensors(pciSlotOf(*gpu));
    auto readings = basicSensorsSynchronously(gpu);
    if (dynamic.empty()) {
        readings.push_back(noGPUSensorsPlaceholder());
    } else {
        readings.insert(readings.end(), dynamic.begin(), dynamic.end());
    }
    return readings;
}

std::vector<SensorReading> GPUInfoCollector::readDynamicGPUSensors() const {
    return readDynamicGPUSensors(nullptr);
}

std::vector<SensorReading> GPUInfoCollector::readDynamicGPUSensors(const std::string* registryEntry) const {
    auto all = readSMCGPUSensors();
    auto registry = readIORegistryGPUSensors(registryEntry);
    all.insert(all.end(), std::make_move_iterator(registry.begin()), std::make_move_iterator(registry.end()));
    return rankedGPUReadings(all);
}

std::vector<SensorReading> GPUInfoCollector::readIORegistryGPUSensors() const {
    return readIORegistryGPUSensors(nullptr);
}

std::vector<SensorReading>
GPUInfoCollector::readIORegistryGPUSensors(const std::string* registryEntry) const {
    std::vector<SensorReading> readings;
    if (!services_.registry) {
        return readings;
    }
    const auto name = registryEntry ? std::optional<std::string_view>(*registryEntry) : std::nullopt;
    for (const auto& entry : services_.registry->entries(name)) {
        auto entryReadings = registryEntryReadings(entry);
        readings.insert(readings.end(), std::make_move_iterator(entryReadings.begin()),
                        std::make_move_iterator(entryReadings.end()));
    }
    return readings;
}

} // namespace tarsik
