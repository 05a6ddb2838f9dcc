#include "collector/fake_process_runner.h"
#include "platform/pci/sysfs_gpu_device_list.h"
#include "platform/registry/sysfs_registry_source.h"
#include "store/gpu_store.h"
#include "store/pooled_collector.h"
#include "support/fake_nvml_control.h"
#include "support/fixture_tree.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <thread>

namespace tarsik {
namespace {

using namespace std::chrono_literals;

// Runs the event loop until `done` holds; false after five seconds.
template <typename Done> bool runUntil(Done done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 5000) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// The real pooled collector over a workstation whose NVIDIA driver never finishes initialising.
// The window's thread must keep running its event loop, and a refresh pressed meanwhile must end.
TEST(StoreFaults, NVMLHangingInInitHoldsNeitherTheWindowNorARefresh) {
    testing::FakeNVML nvml;
    nvml.addH100("00000000:01:00.0");
    const testing::FixtureTree tree("workstation");
    const platform::SystemPaths paths{.root = tree.root()};
    auto collector = std::make_shared<const GPUInfoCollector>(platform::Services{
        .gpuDevices = std::make_shared<platform::SysfsGPUDeviceList>(paths),
        .processRunner = std::make_shared<testing::FakeProcessRunner>(std::nullopt),
        .registry = std::make_shared<platform::SysfsRegistrySource>(paths, testing::FakeNVML::path, 300ms),
    });
    GPUStore store(std::make_shared<PooledCollector>(collector));
    store.startupRefresh();
    ASSERT_TRUE(runUntil([&] { return store.refreshCount() == 2 && !store.isRefreshing(); }));
    const auto h100 = std::find_if(store.devices().begin(), store.devices().end(),
                                   [](const GPUDevice& device) { return device.name == "NVIDIA H100 PCIe"; });
    ASSERT_NE(h100, store.devices().end());
    store.selectGPU(h100->id);
    const auto basic = store.sensors();

    __atomic_store_n(&nvml.state().initBlocked, 1, __ATOMIC_SEQ_CST);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(10);
    store.requestDynamicSensors();
    store.requestRefresh();
    EXPECT_TRUE(store.isRefreshing());
    EXPECT_EQ(store.sensors().size(), basic.size()) << "nothing published while discovery waits";

    ASSERT_TRUE(runUntil([&] { return store.refreshCount() == 3 && !store.isRefreshing(); }));
    EXPECT_GT(ticks, 10) << "the event loop kept running";
    EXPECT_EQ(store.selectedGPU()->name, "NVIDIA H100 PCIe");
    const auto& readings = store.sensors();
    ASSERT_GE(readings.size(), 2u);
    EXPECT_EQ(readings[readings.size() - 2].name, "No exposed GPU sensors found")
        << "NVIDIA's readings given up";
    EXPECT_EQ(readings.back().value, "Awake");
    EXPECT_EQ(__atomic_load_n(&nvml.state().initCalls, __ATOMIC_SEQ_CST), 1u);

    __atomic_store_n(&nvml.state().initBlocked, 0, __ATOMIC_SEQ_CST);
    while (__atomic_load_n(&nvml.state().shutdownCalls, __ATOMIC_SEQ_CST) == 0) {
        std::this_thread::sleep_for(1ms);
    }
}

} // namespace
} // namespace tarsik
