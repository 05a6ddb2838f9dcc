// From startupRefresh() to the fast list on screen (refreshCount 1) and to the merged list
// (refreshCount 2), over a laptop with two GPUs, through the real collector and a profiler child.
#include "collector/gpu_info_collector.h"
#include "platform/pci/sysfs_gpu_device_list.h"
#include "platform/process_runner.h"
#include "profiler/display_profile.h"
#include "store/gpu_store.h"
#include "store/pooled_collector.h"
#include "support/fixture_tree.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <fstream>

namespace {

using Clock = std::chrono::steady_clock;

void BM_StoreStartUp(benchmark::State& state) {
    const tarsik::testing::FixtureTree tree("amd-apu-laptop");
    tree.remove("usr/share/misc/pci.ids");
    std::filesystem::copy_file("/usr/share/misc/pci.ids", tree.path("usr/share/misc/pci.ids"));
    const tarsik::platform::SystemPaths paths{.root = tree.root()};
    const auto profiler = tree.path("tarsik-profiler");
    std::filesystem::create_symlink(TARSIK_FAKE_PROFILER, profiler);
    std::ofstream(profiler.string() + ".json") << tarsik::profiler::displayProfile(paths);
    const auto collector = std::make_shared<tarsik::GPUInfoCollector>(tarsik::platform::Services{
        .gpuDevices = std::make_shared<tarsik::platform::SysfsGPUDeviceList>(paths),
        .processRunner = std::make_shared<tarsik::platform::PosixProcessRunner>(),
        .profiler = profiler,
    });
    const auto pooled = std::make_shared<tarsik::PooledCollector>(collector);
    const bool toMerged = state.range(0) == 2;

    for (auto _ : state) {
        tarsik::GPUStore store(pooled);
        const auto start = Clock::now();
        store.startupRefresh();
        const auto fastShown = Clock::now();
        if (toMerged) {
            while (store.refreshCount() < 2) {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }
        }
        const auto end = toMerged ? Clock::now() : fastShown;
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        if (store.devices().size() != 2) {
            state.SkipWithError("expected the laptop's two GPUs");
        }
    }
}
BENCHMARK(BM_StoreStartUp)
    ->ArgName("refreshCount")
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
