#pragma once

#include "model/gpu_report.h"

#include <vector>

namespace tarsik::testing {

// A workstation as the report sees it: a Radeon with two displays and every sensor kind, behind
// its basic readings; and an NVIDIA card with one display whose readings came too late.
inline std::vector<GPUReport> workstationReports() {
    const auto reading = [](const char* name, const char* value, const char* unit) {
        return SensorReading{
            .name = name, .value = value, .unit = unit, .note = "IORegistry PerformanceStatistics"};
    };
    return {
        GPUReport{
            .device = GPUDevice{.name = "AMD Radeon RX 6800 XT",
                                .vendor = "AMD",
                                .chipsetModel = "AMD Radeon RX 6800 XT",
                                .type = "Discrete",
                                .bus = "PCIe",
                                .pciDeviceID = "0x73bf",
                                .pciRevisionID = "0x00c1",
                                .vram = "16 GB",
                                .metalFamily = "Supported",
                                .displays = {{.name = "DELL U2720Q",
                                              .resolution = "3840 x 2160",
                                              .main = true,
                                              .online = true},
                                             {.name = "HDMI-A-1", .resolution = "Unknown", .online = false}},
                                .raw = {{"PCI Slot", "0000:03:00.0"}, {"driver", "amdgpu"}}},
            .readings = {{.name = "GPU Name", .value = "AMD Radeon RX 6800 XT"},
                         {.name = "VRAM / Working Set", .value = "16 GB"},
                         {.name = "Metal Support", .value = "Supported"},
                         {.name = "Displays Connected", .value = "2"},
                         reading("GPU Temperature", "45", "\u00B0C"),
                         reading("GPU Power", "72.5", "W"),
                         reading("Fan Speed", "1200", "RPM"),
                         reading("Core Clock", "2250", "MHz"),
                         reading("Memory Clock", "1000.5", "MHz"),
                         reading("GPU Load", "45.3", "%")},
        },
        GPUReport{
            .device =
                GPUDevice{
                    .name = "NVIDIA RTX A4000",
                    .vendor = "NVIDIA",
                    .chipsetModel = "NVIDIA RTX A4000",
                    .type = "Discrete",
                    .bus = "PCIe",
                    .pciDeviceID = "0x24b0",
                    .pciRevisionID = "0x00a1",
                    .vram = "Unknown",
                    .metalFamily = "Supported",
                    .displays = {{.name = "LG \"UltraFine\"", .resolution = "2560 x 1440", .online = true}},
                    .raw = {{"PCI Slot", "0000:01:00.0"}}},
            .readingsLate = true,
        },
    };
}

} // namespace tarsik::testing
