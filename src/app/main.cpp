#include "collector/gpu_info_collector.h"
#include "platform/diagnostics.h"
#include "platform/process_runner.h"
#include "platform/profiler_location.h"
#include "store/gpu_store.h"
#include "store/pooled_collector.h"
#include "ui/kit/app_theme.h"
#include "ui/kit/font_preload.h"
#include "ui/kit/symbols.h"
#include "ui/shell/app_commands.h"
#include "ui/shell/server_decorations.h"
#include "ui/shell/window_controls.h"

#include <QApplication>
#include <QSettings>
#include <cstdio>
#include <memory>
#include <string_view>

namespace {

constexpr const char* usage = R"(Usage: tarsik [Qt options]
Shows every GPU of this machine in a window: its model, memory, displays, sensors and raw
properties, and a validation report. Without a display, tarsik-report prints the same.

  --help  show this text
Qt's own options, such as -platform xcb, are taken too. With TARSIK_VERBOSE=1 in the
environment, standard error says why a source gave nothing. See tarsik(1).
)";

bool asksForHelp(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    // Answered before Qt starts: without a display, Qt would abort first.
    if (asksForHelp(argc, argv)) {
        std::fputs(usage, stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    tarsik::setOwnWindowControls(tarsik::preferServerDecorations());
    tarsik::FontPreload fonts;
    QApplication app(argc, argv);
    fonts.wait();
    const tarsik::SymbolPreload symbols;
    QApplication::setApplicationName("Tarsik");
    QApplication::setOrganizationName("Tarsik");
    QApplication::setDesktopFileName("org.tarsik.Tarsik");
    tarsik::applyAppTheme();
    // As tarsik-report --verbose: why a source gave nothing, on standard error.
    if (qEnvironmentVariableIntValue("TARSIK_VERBOSE") != 0) {
        tarsik::platform::setDiagnosticSink(tarsik::platform::standardErrorSink());
    }

    // The one store of the process, shared by every main window.
    auto collector = std::make_shared<tarsik::GPUInfoCollector>(tarsik::platform::linuxServices(
        tarsik::platform::profilerFor(tarsik::platform::currentExecutable())));
    tarsik::GPUStore store(std::make_shared<tarsik::PooledCollector>(collector));
    QSettings settings;
    tarsik::AppCommands commands(store, settings);
    commands.openMainWindow();
    const int status = QApplication::exec();

    // Quitting does not wait for a refresh: the pools are left to the process's end, and a
    // profiler that still runs is ended with everything it started.
    tarsik::platform::PosixProcessRunner::killRunningChildren();
    return status;
}
