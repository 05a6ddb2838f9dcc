#include "collector/gpu_info_collector.h"
#include "platform/profiler_location.h"
#include "store/gpu_store.h"
#include "store/pooled_collector.h"
#include "texts/sensor_debug_text.h"
#include "texts/validation_report.h"

#include <QCoreApplication>
#include <QCoro/QCoroSignal>
#include <QCoro/QCoroTask>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

// What the window shows, by the window's own path through the store: the start-up refresh, then
// each GPU selected in turn with full sensor discovery, as on the Sensors tab.
QCoro::Task<std::string> reportThroughStore(tarsik::GPUStore& store) {
    co_await store.startupRefresh();
    store.requestDynamicSensors();
    std::vector<tarsik::Uuid> ids;
    for (const auto& device : store.devices()) {
        ids.push_back(device.id);
    }
    const auto now = std::chrono::system_clock::now();
    std::string text;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (i > 0) {
            store.selectGPU(ids[i]);
        }
        // Cached readings are published at once; otherwise discovery publishes them shortly.
        if (!store.cachedSensors(store.selectedGPU())) {
            co_await qCoro(&store, &tarsik::GPUStore::sensorsChanged);
        }
        if (!text.empty()) {
            text += "\n\n";
        }
        text += tarsik::validationReport(store.selectedGPU(), now);
        text += "\n\n" + tarsik::sensorDebugText(store.sensors());
    }
    co_return text + '\n';
}

} // namespace

// Prints the validation report and sensor readings of every GPU, for machines without a
// display and for bug reports.
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    auto collector = std::make_shared<tarsik::GPUInfoCollector>(tarsik::platform::linuxServices(
        tarsik::platform::profilerFor(tarsik::platform::currentExecutable())));
    tarsik::GPUStore store(std::make_shared<tarsik::PooledCollector>(collector));
    QCoro::connect(reportThroughStore(store), &app, [](const std::string& text) {
        const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
        QCoreApplication::exit(written && std::fflush(stdout) == 0 ? 0 : 1);
    });
    return QCoreApplication::exec();
}
