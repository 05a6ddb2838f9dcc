#include "collector/gpu_info_collector.h"
#include "platform/profiler_location.h"
#include "store/gpu_store.h"
#include "store/pooled_collector.h"

#include <QApplication>
#include <QListWidget>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tarsik");
    QApplication::setOrganizationName("Tarsik");

    auto collector = std::make_shared<tarsik::GPUInfoCollector>(tarsik::platform::linuxServices(
        tarsik::platform::profilerFor(tarsik::platform::currentExecutable())));
    tarsik::GPUStore store(std::make_shared<tarsik::PooledCollector>(collector));

    QListWidget window;
    window.setWindowTitle("Tarsik");
    QObject::connect(&store, &tarsik::GPUStore::devicesChanged, &window, [&] {
        window.clear();
        for (const auto& device : store.devices()) {
            window.addItem(QString::fromStdString(device.name));
        }
    });
    window.resize(760, 540);
    window.show();
    store.startupRefresh();
    return QApplication::exec();
}
