// One Live sample of the Sensors tab: from the store asking for the selected GPU's sensors to the
// readings published with their history, through the real pooled collector, on the workstation's
// Radeon (every reading its driver offers). Live takes one a second, so it should cost well under
// the CSV log's 3 ms.
#include "collector/gpu_info_collector.h"
#include "platform/registry/sysfs_registry_source.h"
#include "store/gpu_store.h"
#include "store/pooled_collector.h"
#include "support/fixture_tree.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// The store lists the machine's GPUs from its sysfs tree; only the sensors need the registry.
class OneRadeon final : public tarsik::AsyncCollector {
  public:
    explicit OneRadeon(std::shared_ptr<tarsik::AsyncCollector> sensors) : sensors_(std::move(sensors)) {}
    std::vector<tarsik::GPUDevice> collectFast() override {
        return {tarsik::GPUDevice{.name = "AMD Radeon RX 6800 XT",
                                  .raw = {{tarsik::pciSlotKey, "0000:03:00.0"}}}};
    }
    QFuture<std::vector<tarsik::GPUDevice>> collect() override { return {}; }
    QFuture<std::vector<tarsik::SensorReading>>
    sensorsAsync(std::optional<tarsik::GPUDevice> device) override {
        return sensors_->sensorsAsync(std::move(device));
    }

  private:
    std::shared_ptr<tarsik::AsyncCollector> sensors_;
};

void BM_LiveSampleOfOneGPU(benchmark::State& state) {
    const tarsik::testing::FixtureTree tree("workstation");
    const auto collector = std::make_shared<tarsik::GPUInfoCollector>(tarsik::platform::Services{
        .registry = std::make_shared<tarsik::platform::SysfsRegistrySource>(
            tarsik::platform::SystemPaths{.root = tree.root()}, "libnvidia-ml.so.absent-in-benchmarks")});
    const auto pooled = std::make_shared<OneRadeon>(std::make_shared<tarsik::PooledCollector>(collector));
    for (auto _ : state) {
        // A fresh store each time: Live turned on again within a second would wait for the rest of it.
        tarsik::GPUStore store(pooled);
        store.startupRefresh();
        store.requestDynamicSensors();
        while (store.sensors().size() < 10) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        bool published = false;
        QObject::connect(&store, &tarsik::GPUStore::sensorsChanged, [&published] { published = true; });
        const auto start = Clock::now();
        store.setLiveSensors(&store, true);
        while (!published) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        store.setLiveSensors(&store, false);
        if (store.historyOf(store.sensors()[4]) == nullptr) {
            state.SkipWithError("expected the Radeon's temperature history");
        }
    }
}
BENCHMARK(BM_LiveSampleOfOneGPU)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
