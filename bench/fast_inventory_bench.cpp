// The fast inventory runs on the UI thread at start-up: over a machine with four GPUs it must
// stay well under a millisecond.
#include "collector/gpu_info_collector.h"
#include "platform/pci/sysfs_gpu_device_list.h"
#include "support/fixture_tree.h"

#include <benchmark/benchmark.h>

namespace {

void BM_FastInventoryFourGPUs(benchmark::State& state) {
    const tarsik::testing::FixtureTree tree("workstation");
    const tarsik::GPUInfoCollector collector(
        tarsik::platform::Services{.gpuDevices = std::make_shared<tarsik::platform::SysfsGPUDeviceList>(
                                       tarsik::platform::SystemPaths{.root = tree.root()})});
    for (auto _ : state) {
        benchmark::DoNotOptimize(collector.collectFast());
    }
}
BENCHMARK(BM_FastInventoryFourGPUs)->Unit(benchmark::kMicrosecond);

// The same over the full Debian pci.ids, as on a real machine.
void BM_FastInventoryFourGPUsRealPCIIDs(benchmark::State& state) {
    const tarsik::testing::FixtureTree tree("workstation");
    tree.remove("usr/share/misc/pci.ids");
    std::filesystem::copy_file("/usr/share/misc/pci.ids", tree.path("usr/share/misc/pci.ids"));
    const tarsik::GPUInfoCollector collector(
        tarsik::platform::Services{.gpuDevices = std::make_shared<tarsik::platform::SysfsGPUDeviceList>(
                                       tarsik::platform::SystemPaths{.root = tree.root()})});
    for (auto _ : state) {
        benchmark::DoNotOptimize(collector.collectFast());
    }
}
BENCHMARK(BM_FastInventoryFourGPUsRealPCIIDs)->Unit(benchmark::kMicrosecond);

} // namespace
