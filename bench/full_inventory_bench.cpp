// The full inventory runs the display profiler as a child process and merges its records with the
// fast device list; over a laptop with two GPUs and three displays it should take under 5 ms.
#include "collector/gpu_info_collector.h"
#include "platform/pci/sysfs_gpu_device_list.h"
#include "platform/process_runner.h"
#include "profiler/display_profile.h"
#include "support/fixture_tree.h"

#include <benchmark/benchmark.h>
#include <fstream>

namespace {

using tarsik::platform::SystemPaths;

// The real pci.ids, as on a real machine, instead of the fixture's excerpt.
void useSystemPCIIDs(const tarsik::testing::FixtureTree& tree) {
    tree.remove("usr/share/misc/pci.ids");
    std::filesystem::copy_file("/usr/share/misc/pci.ids", tree.path("usr/share/misc/pci.ids"));
}

// Child process included: a native stand-in prints the laptop's profile, generated beforehand
// from the fixture by the profiler's own JSON builder.
void BM_CollectSynchronouslyLaptopWithProfilerChild(benchmark::State& state) {
    const tarsik::testing::FixtureTree tree("amd-apu-laptop");
    useSystemPCIIDs(tree);
    const SystemPaths paths{.root = tree.root()};
    const auto profiler = tree.path("tarsik-profiler");
    std::filesystem::create_symlink(TARSIK_FAKE_PROFILER, profiler);
    std::ofstream(profiler.string() + ".json") << tarsik::profiler::displayProfile(paths);
    const tarsik::GPUInfoCollector collector(tarsik::platform::Services{
        .gpuDevices = std::make_shared<tarsik::platform::SysfsGPUDeviceList>(paths),
        .processRunner = std::make_shared<tarsik::platform::PosixProcessRunner>(),
        .profiler = profiler,
    });
    if (collector.collectSynchronously().at(1).displays.size() != 3) {
        state.SkipWithError("the profile did not come through");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(collector.collectSynchronously());
    }
}
BENCHMARK(BM_CollectSynchronouslyLaptopWithProfilerChild)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

// What the profiler itself does for that laptop, without its process start-up.
void BM_DisplayProfileLaptop(benchmark::State& state) {
    const tarsik::testing::FixtureTree tree("amd-apu-laptop");
    useSystemPCIIDs(tree);
    const SystemPaths paths{.root = tree.root()};
    for (auto _ : state) {
        benchmark::DoNotOptimize(tarsik::profiler::displayProfile(paths));
    }
}
BENCHMARK(BM_DisplayProfileLaptop)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

} // namespace
