#include "model/advanced_row.h"
#include "model/gpu_device.h"
#include "model/sensor_reading.h"

namespace tarsik {

GPUDevice noGPUPlaceholder() {
    return GPUDevice{
        .name = "No GPU detected",
        .vendor = "Unknown",
        .chipsetModel = "Unknown",
        .type = "GPU",
        .bus = "Unknown",
        .pciDeviceID = "Unknown",
        .pciRevisionID = "Unknown",
        .vram = "Unknown",
        .metalFamily = "Unknown",
    };
}

const std::string* pciSlotOf(const GPUDevice& device) {
    const auto slot = device.raw.find(pciSlotKey);
    return slot == device.raw.end() || slot->second.empty() ? nullptr : &slot->second;
}

bool isNoGPUPlaceholder(const GPUDevice& device) {
    auto placeholder = noGPUPlaceholder();
    placeholder.id = device.id;
    return device == placeholder;
}

namespace {

template <typename T> void combine(std::size_t& seed, const T& value) {
    hashCombine(seed, std::hash<T>{}(value));
}

} // namespace
} // namespace tarsik

using tarsik::combine;

std::size_t std::hash<tarsik::DisplayInfo>::operator()(const tarsik::DisplayInfo& display) const noexcept {
    std::size_t seed = 0;
    combine(seed, display.id);
    combine(seed, display.name);
    combine(seed, display.resolution);
    combine(seed, display.main);
    combine(seed, display.online);
    return seed;
}

std::size_t std::hash<tarsik::GPUDevice>::operator()(const tarsik::GPUDevice& device) const noexcept {
    std::size_t seed = 0;
    combine(seed, device.id);
    for (const std::string* text :
         {&device.name, &device.vendor, &device.chipsetModel, &device.type, &device.bus, &device.pciDeviceID,
          &device.pciRevisionID, &device.vram, &device.metalFamily}) {
        combine(seed, *text);
    }
    combine(seed, device.vramBytes);
    combine(seed, device.displays.size());
    for (const auto& display : device.displays) {
        combine(seed, display);
    }
    combine(seed, device.raw.size());
    for (const auto& [key, value] : device.raw) {
        combine(seed, key);
        combine(seed, value);
    }
    return seed;
}

std::size_t
std::hash<tarsik::SensorReading>::operator()(const tarsik::SensorReading& reading) const noexcept {
    std::size_t seed = 0;
    combine(seed, reading.id);
    combine(seed, reading.name);
    combine(seed, reading.value);
    combine(seed, reading.unit);
    combine(seed, reading.note);
    if (reading.measurement) {
        combine(seed, reading.measurement->kind);
        combine(seed, reading.measurement->value);
        combine(seed, reading.measurement->origin);
    }
    return seed;
}

std::size_t std::hash<tarsik::AdvancedRow>::operator()(const tarsik::AdvancedRow& row) const noexcept {
    std::size_t seed = 0;
    combine(seed, row.key);
    combine(seed, row.value);
    return seed;
}
