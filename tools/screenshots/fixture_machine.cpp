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
    return QtFuture::makeReadyFuture(std::vector<SensorReading>{
        SensorReading{.name = "GPU Temperature", .value = "54", .unit = "°C", .note = "amdgpu hwmon edge"},
        SensorReading{.name = "GPU Hot Spot", .value = "61.5", .unit = "°C", .note = "amdgpu hwmon junction"},
        SensorReading{
            .name = "GPU Total Power", .value = "38.2", .unit = "W", .note = "PerformanceStatistics"},
        SensorReading{
            .name = "GPU Fan Speed", .value = "0", .unit = "RPM", .note = "Fan stopped below 60 °C"},
        SensorReading{.name = "GPU Core Clock", .value = "500", .unit = "MHz"},
        SensorReading{.name = "GPU Memory Clock", .value = "96", .unit = "MHz"},
        SensorReading{.name = "GPU Load", .value = "3", .unit = "%"},
    });
}

} // namespace tarsik::screenshots
