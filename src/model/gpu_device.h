#pragma once

#include "model/uuid.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tarsik {

// One display attached to a GPU. Built with designated initialisers; `id` is fresh per record.
struct DisplayInfo {
    UUID id{};
    std::string name{};
    std::string resolution{};
    bool main = false;
    bool online = false;

    friend bool operator==(const DisplayInfo&, const DisplayInfo&) = default;
};

// One graphics processor. Every value is display text already: the collectors choose the
// wording ("Unknown", "Yes", a byte count) and the views print it.
struct GPUDevice {
    UUID id{};
    std::string name{};
    std::string vendor{};
    std::string chipsetModel{};
    std::string type{};
    std::string bus{};
    std::string pciDeviceID{};
    std::string pciRevisionID{};
    std::string vram{};
    // The exact size that `vram` shows rounded, for the machine-readable forms; 0 when unknown.
    std::uint64_t vramBytes = 0;
    std::string metalFamily{};
    std::vector<DisplayInfo> displays{};
    // Ordered by key, so equality treats it as a set of pairs and the hash is insertion-order free.
    std::map<std::string, std::string> raw{};

    friend bool operator==(const GPUDevice&, const GPUDevice&) = default;
};

// What an inventory returns instead of an empty list.
GPUDevice noGPUPlaceholder();
// Whether a record is that placeholder, whatever its id.
bool isNoGPUPlaceholder(const GPUDevice& device);

// The `raw` key of a GPU's bus address ("0000:03:00.0"): its identity on the machine, so that
// identical cards stay apart.
inline constexpr const char* pciSlotKey = "PCI Slot";

// The record's bus address; null when the record does not know it.
const std::string* pciSlotOf(const GPUDevice& device);

} // namespace tarsik

template <> struct std::hash<tarsik::DisplayInfo> {
    std::size_t operator()(const tarsik::DisplayInfo& display) const noexcept;
};

template <> struct std::hash<tarsik::GPUDevice> {
    std::size_t operator()(const tarsik::GPUDevice& device) const noexcept;
};
