#pragma once

#include "model/gpu_report.h"

#include <vector>

namespace tarsik::testing {

// A workstation as the report sees it: a Radeon with two displays and every sensor kind, behind
// its basic readings, then its further readings and sleep state; an NVIDIA card with one display
// whose readings came too late; and a sleeping Radeon that was not read.
inline std::vector<GPUReport> workstationReports() {
    // The shown text is rounded; the measurement keeps the source's number.
    const auto reading = [](const char* name, const char* value, const char* unit, const char* kind,
                            double measured, const char* origin) {
        return SensorReading{.name = name,
                             .value = value,
                             .unit = unit,
                             .note = "IORegistry PerformanceStatistics",
                             .measurement = Measurement{.kind = kind, .value = measured, .origin = origin}};
    };
    const auto more = [](const char* name, const char* value, const char* unit, const char* kind,
                         double measured, const char* origin) {
        return SensorReading{.name = name,
                             .value = value,
                             .unit = unit,
                             .note = origin,
                             .measurement = Measurement{.kind = kind, .value = measured, .origin = origin}};
    };
    const auto sleepState = [](bool asleep) {
        return SensorReading{.name = "Sleep State",
                             .value = asleep ? "Asleep" : "Awake",
                             .measurement = Measurement{.kind = "runtimeSuspended",
                                                        .value = asleep ? 1.0 : 0.0,
                                                        .origin = "power/runtime_status"}};
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
                                .vramBytes = 17'163'091'968,
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
                         reading("GPU Temperature", "45", "\u00B0C", "temperature", 45,
                                 "hwmon/hwmon3/temp1_input"),
                         reading("GPU Power", "72.5", "W", "power", 72.512, "hwmon/hwmon3/power1_average"),
                         reading("Fan Speed", "1200", "RPM", "fan", 1200, "hwmon/hwmon3/fan1_input"),
                         reading("Core Clock", "2250", "MHz", "coreClock", 2250, "hwmon/hwmon3/freq1_input"),
                         reading("Memory Clock", "1000.5", "MHz", "memoryClock", 1000.5,
                                 "hwmon/hwmon3/freq2_input"),
                         reading("GPU Load", "45", "%", "load", 45, "gpu_busy_percent"),
                         more("Junction Temperature", "52", "\u00B0C", "junctionTemperature", 52,
                              "hwmon/hwmon3/temp2_input"),
                         more("Memory Used", "6.35", "GB", "memoryUsed", 6818321203, "mem_info_vram_used"),
                         more("Fan Duty", "43.9", "%", "fanDuty", 43.92156862745098, "hwmon/hwmon3/pwm1"),
                         more("vddgfx", "806", "mV", "voltage", 0.806, "hwmon/hwmon3/in0_input"),
                         sleepState(false)},
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
        GPUReport{
            .device = GPUDevice{.name = "AMD Radeon RX 6650M",
                                .vendor = "AMD",
                                .chipsetModel = "AMD Radeon RX 6650M",
                                .type = "Discrete",
                                .bus = "PCIe",
                                .pciDeviceID = "0x73ef",
                                .pciRevisionID = "0x00c2",
                                .vram = "Unknown",
                                .metalFamily = "Supported",
                                .raw = {{"PCI Slot", "0000:0a:00.0"}}},
            .readings = {{.name = "No exposed GPU sensors found", .value = "N/A"}, sleepState(true)},
        },
    };
}

} // namespace tarsik::testing
