#pragma once

#include "model/gpu_device.h"
#include "model/sensor_reading.h"
#include "platform/services.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarsik {

// Inventory and sensor rules over the platform services it is given. It keeps no state between
// calls, so one instance may serve any thread.
class GPUInfoCollector {
  public:
    explicit GPUInfoCollector(platform::Services services);

    // The GPUs from the fast device list alone; never empty (the no-GPU placeholder instead).
    std::vector<GPUDevice> collectFast() const;

    // The display profiler's GPUs, each enriched with what the fast device list knows about it,
    // then the listed GPUs the profiler did not name. Never empty. Blocks while the profiler runs
    // (at most its 15-second deadline), so it belongs on a background thread.
    std::vector<GPUDevice> collectSynchronously() const;

    // One record per graphics entry of the display profiler, in its order; empty when the
    // profiler is missing, fails, or prints anything but the expected JSON.
    std::vector<GPUDevice> parseSystemProfiler() const;

    // "GPU Name", "VRAM / Working Set", "Metal Support", "Displays Connected"; none for no device.
    static std::vector<SensorReading> basicSensorsSynchronously(const GPUDevice* device);

    // "Metal 3, macOS GPU Family 2, ..." or "Supported" when the device names no family.
    static std::string metalSummary(const platform::GPUDeviceInfo& device);

    // The vendor guessed from a device name by keyword.
    static std::string vendor(std::string_view name);

    // GPU temperatures, then GPU powers, read from the SMC in sensor order; empty without an SMC.
    // Opens and closes its own connection.
    std::vector<SensorReading> readSMCGPUSensors() const;
    // GPU keys tried even when the SMC does not list them; ascending, no duplicates.
    static std::vector<std::string> fallbackSMCGPUKeys();
    // Orders SMC keys by plain text comparison: the best-known keys first, then by GPU index.
    static std::string sensorSortKey(std::string_view key);

    // Full sensor discovery for a GPU: its basic readings, then the dynamic ones or, when there
    // are none, a placeholder that says so, then for a GPU known by its slot the readings its
    // driver offers beyond those and its sleep state. Nothing for no GPU. Talks to drivers, so it
    // runs on a background thread only.
    std::vector<SensorReading> sensorsSynchronously(const GPUDevice* gpu) const;
    // The machine's SMC and registry readings, ranked and reduced to one per sensor kind.
    std::vector<SensorReading> readDynamicGPUSensors() const;
    std::vector<SensorReading> readIORegistryGPUSensors() const;

  private:
    std::vector<GPUDevice> collectFastSynchronously() const;
    // Only the registry entry of that name when one is given; each is read once per discovery.
    std::vector<platform::RegistryEntry> registryEntries(const std::string* name) const;

    platform::Services services_;
};

} // namespace tarsik
