#include "collector/gpu_info_collector.h"
#include "platform/diagnostics.h"
#include "platform/process_runner.h"
#include "platform/profiler_location.h"
#include "store/gpu_store.h"
#include "store/pooled_collector.h"
#include "ui/shell/app_theme.h"
#include "ui/shell/main_window.h"

#include <QApplication>
#include <QSettings>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tarsik");
    QApplication::setOrganizationName("Tarsik");
    QApplication::setDesktopFileName("org.tarsik.Tarsik");
    tarsik::applyAppTheme(app);
    // As tarsik-report --verbose: why a source gave nothing, on standard error.
    if (qEnvironmentVariableIntValue("TARSIK_VERBOSE") != 0) {
        tarsik::platform::setDiagnosticSink(tarsik::platform::standardErrorSink());
    }

    // The one store of the process, shared by every main window.
    auto collector = std::make_shared<tarsik::GPUInfoCollector>(tarsik::platform::linuxServices(
        tarsik::platform::profilerFor(tarsik::platform::currentExecutable())));
    tarsik::GPUStore store(std::make_shared<tarsik::PooledCollector>(collector));
    QSettings settings;

    (new tarsik::MainWindow(store, settings))->show();
    const int status = QApplication::exec();

    // Quitting does not wait for a refresh: the pools are left to the process's end, and a
    // profiler that still runs is ended with everything it started.
    tarsik::platform::PosixProcessRunner::killRunningChildren();
    return status;
}
