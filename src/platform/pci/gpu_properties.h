#pragma once

#include "platform/pci/pci_device.h"
#include "platform/pci/pci_ids.h"

#include <string>
#include <utility>
#include <vector>

namespace tarsik::platform {

using Properties = std::vector<std::pair<std::string, std::string>>;

// Further facts about a GPU for the Advanced view, by readable key ("PCI Slot", "Driver",
// "Kernel Driver Version", "Subsystem Vendor ID", "Subsystem ID", "Subsystem Name", "Link Speed",
// "Link Width", "Max Link Speed", "Max Link Width", "VBIOS Version", "NUMA Node", "Resizable BAR",
// "GTT Size", "Power Limit"), each only when known. `vramBytes` is the GPU's memory, 0 when
// unknown. A runtime-suspended GPU is not woken: the reads that would wake it are skipped.
Properties gpuProperties(const PCIDevice& device, const SystemPaths& paths, const PCIIDs& pciIds,
                         std::uint64_t vramBytes);

} // namespace tarsik::platform
