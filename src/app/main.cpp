#include "collector/gpu_info_collector.h"

#include <QApplication>
#include <QListWidget>

// A stand-in window listing the fast inventory until the main window lands.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tarsik");
    QApplication::setOrganizationName("Tarsik");

    const tarsik::GPUInfoCollector collector(tarsik::platform::linuxServices());
    QListWidget window;
    window.setWindowTitle("Tarsik");
    for (const auto& device : collector.collectFast()) {
        window.addItem(QString::fromStdString(device.name));
    }
    window.resize(760, 540);
    window.show();
    return QApplication::exec();
}
