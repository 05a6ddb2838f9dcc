// Sensor discovery runs in the background, but the user waits for it after opening the Sensors
// tab: over two GPUs (amdgpu through hwmon, NVIDIA through NVML) it should stay under 3 ms, NVML's
// own initialisation aside (the fake library used here initialises at once).
#include "collector/gpu_info_collector.h"
#include "collector/sensors/sensor_pipeline.h"
#include "platform/registry/sysfs_registry_source.h"
#include "support/fake_nvml_control.h"
#include "support/fixture_tree.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ReadDynamicGPUSensorsAmdAndNVML(benchmark::State& state) {
    const tarsik::testing::FixtureTree tree("workstation");
    tarsik::testing::FakeNVML nvml;
    nvml.addH100("00000000:01:00.0");
    const tarsik::GPUInfoCollector collector(tarsik::platform::Services{
        .registry = std::make_shared<tarsik::platform::SysfsRegistrySource>(
            tarsik::platform::SystemPaths{.root = tree.root()}, tarsik::testing::FakeNVML::path)});
    for (auto _ : state) {
        benchmark::DoNotOptimize(collector.readDynamicGPUSensors());
    }
}
BENCHMARK(BM_ReadDynamicGPUSensorsAmdAndNVML)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

// One further sample of one GPU, as each line of tarsik-report's CSV log takes it: the workstation's
// Radeon, every reading its driver offers. A log of a second per sample should cost well under 3 ms.
void BM_SensorsOfOneRadeon(benchmark::State& state) {
    const tarsik::testing::FixtureTree tree("workstation");
    const tarsik::GPUInfoCollector collector(tarsik::platform::Services{
        .registry = std::make_shared<tarsik::platform::SysfsRegistrySource>(
            tarsik::platform::SystemPaths{.root = tree.root()}, tarsik::testing::FakeNVML::path)});
    const tarsik::GPUDevice radeon{.name = "AMD Radeon RX 6800 XT",
                                   .raw = {{tarsik::pciSlotKey, "0000:03:00.0"}}};
    for (auto _ : state) {
        benchmark::DoNotOptimize(collector.sensorsSynchronously(&radeon));
    }
}
BENCHMARK(BM_SensorsOfOneRadeon)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

// Sort, de-duplicate and canonicalise 200 readings of every source and kind.
void BM_RankedGPUReadings200(benchmark::State& state) {
    const char* const units[] = {"\u00B0C", "W", "RPM", "MHz", "%", ""};
    std::vector<tarsik::SensorReading> readings;
    for (int i = 0; i < 200; ++i) {
        const auto index = std::to_string(i % 40);
        readings.push_back(tarsik::SensorReading{
            .name = (i % 3 == 0 ? "GPU " + index + " Die" : "Sensor " + index),
            .value = std::to_string(i),
            .unit = units[i % 6],
            .note = i % 2 == 0 ? "SMC key TG" + index + "D."
                               : "IORegistry: AMDRadeonGPU.PerformanceStatistics.S" + index,
        });
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(tarsik::rankedGPUReadings(readings));
    }
}
BENCHMARK(BM_RankedGPUReadings200)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace
