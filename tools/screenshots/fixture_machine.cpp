#include "fixture_machine.h"

namespace tarsik::screenshots {

std::vector<GPUDevice> FixtureMachine::collectFast() {
    return {
        GPUDevice{.name = "AMD Radeon RX 6800 XT",
                  .vendor = "AMD (0x1002)",
                  .chipsetModel = "Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]",
                  .type = "Discrete",
                  .bus = "PCIe",
                  .pciDeviceID = "0x73bf",
                  .pciRevisionID = "0xc1",
                  .vram = "16 GB",
                  .metalFamily = "Supported",
                  .displays =
                      {DisplayInfo{
                           .name = "DELL U2723QE", .resolution = "3840 x 2160", .main = true, .online = true},
                       DisplayInfo{.name = "LG ULTRAGEAR", .resolution = "2560 x 1440", .online = false}},
                  .raw = {{"Bus", "PCIe"},
                          {"Device ID", "0x73bf"},
                          {"Driver", "amdgpu"},
                          {"Fast Startup Source", "Metal"},
                          {"Firmware (VBIOS)", "113-D4120100-100"},
                          {"Has Unified Memory", "No"},
                          {"Link Speed", "16.0 GT/s PCIe"},
                          {"Link Width", "x16"},
                          {"Low Power", "No"},
                          {"Max Link Speed", "16.0 GT/s PCIe"},
                          {"Max Link Width", "x16"},
                          {"PCI Slot", "0000:03:00.0"},
                          {"Profiler Source", "tarsik-profiler"},
                          {"Removable", "No"},
                          {"Revision ID", "0xc1"},
                          {"Subsystem Device ID", "0x0e3a"},
                          {"Subsystem Vendor ID", "0x1da2"},
                          {"VRAM (Total)", "16 GB"},
                          {"Vendor ID", "0x1002"},
                          {"sppci_model", "AMD Radeon RX 6800 XT"},
                          {"spdisplays_ndrvs", "DELL U2723QE (3840 x 2160), LG ULTRAGEAR (2560 x 1440)"},
                          {"spdisplays_vendor", "sppci_vendor_amd"}}},
        GPUDevice{.name = "Intel UHD Graphics 770",
                  .vendor = "Intel (0x8086)",
                  .chipsetModel = "AlderLake-S GT1",
                  .type = "Integrated",
                  .bus = "Built-In",
                  .pciDeviceID = "0x4680",
                  .pciRevisionID = "0x0c",
                  .vram = "Unknown",
                  .metalFamily = "Supported",
                  .raw = {{"Driver", "i915"}, {"Low Power", "Yes"}}},
    };
}

QFuture<std::vector<GPUDevice>> FixtureMachine::collect() {
    return QtFuture::makeReadyFuture(collectFast());
}

QFuture<std::vector<SensorReading>> FixtureMachine::sensorsAsync(std::optional<GPUDevice> device) {
    if (!device || device->name != "AMD Radeon RX 6800 XT") {
        return QtFuture::makeReadyFuture(std::vector<SensorReading>{
            SensorReading{.name = "GPU Sensors",
                          .value = "Unavailable",
                          .note = "No GPU sensor is exposed by the installed drivers."}});
    }
    const auto reading = [](const char* name, const char* value, const char* unit, const char* key) {
        return SensorReading{.name = name,
                             .value = value,
                             .unit = unit,
                             .note = std::string("IORegistry: AMDRadeonGPU.") + key};
    };
    return QtFuture::makeReadyFuture(std::vector<SensorReading>{
        reading("GPU Temperature", "54", "\u00B0C", "Temperature(C)"),
        reading("GPU Power", "38.2", "W", "Total Power(W)"),
        reading("Fan Speed", "0", "RPM", "Fan Speed(RPM)"),
        reading("Core Clock", "500", "MHz", "Core Clock(MHz)"),
        reading("Memory Clock", "96", "MHz", "Memory Clock(MHz)"),
        reading("GPU Load", "3", "%", "Device Utilization %"),
    });
}

} // namespace tarsik::screenshots
