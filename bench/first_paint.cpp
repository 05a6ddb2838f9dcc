// Start-up cost of the window, for hyperfine under Xvfb: each mode shows its window and quits
// as soon as the moment it measures has come.
//   bare      a plain Qt window, at its first paint
//   fonts     a plain window with one line in each of the eleven fonts Tarsik's first frame asks
//             for (qt.text.font.match lists them): what any window showing that text pays
//   tarsik    the Tarsik main window, at its first paint with the fast inventory shown
//   refreshed the Tarsik main window once the full refresh is published (for peak memory)
#include "collector/gpu_info_collector.h"
#include "platform/profiler_location.h"
#include "store/gpu_store.h"
#include "store/pooled_collector.h"
#include "ui/kit/app_theme.h"
#include "ui/kit/font_preload.h"
#include "ui/kit/symbols.h"
#include "ui/kit/text_styles.h"
#include "ui/shell/app_commands.h"
#include "ui/shell/main_window.h"
#include "ui/shell/server_decorations.h"
#include "ui/shell/window_controls.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

// Quits at the first paint of the watched widget once `ready` says so.
class FirstPaint : public QObject {
    Q_OBJECT

  public:
    explicit FirstPaint(std::function<bool()> ready) : ready_(std::move(ready)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && ready_()) {
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<bool()> ready_;
};

} // namespace

int main(int argc, char* argv[]) {
    const char* mode = argc > 1 ? argv[1] : "tarsik";
    // As the app starts: no decorations from Qt (its own controls where the compositor draws
    // none), and the font configuration read on another core meanwhile.
    std::optional<tarsik::FontPreload> fonts;
    const bool plain = std::strcmp(mode, "bare") == 0 || std::strcmp(mode, "fonts") == 0;
    if (!plain) {
        tarsik::setOwnWindowControls(tarsik::preferServerDecorations());
        fonts.emplace();
    }
    QApplication app(argc, argv);
    if (fonts) {
        fonts->wait();
    }
    if (plain) {
        QWidget window;
        window.resize(760, 540);
        if (std::strcmp(mode, "fonts") == 0) {
            auto* lines = new QVBoxLayout(&window);
            const std::pair<double, QFont::Weight> requested[] = {
                {12, QFont::DemiBold}, {12, QFont::Medium}, {16, QFont::Bold},     {13, QFont::Normal},
                {26, QFont::Bold},     {12, QFont::Normal}, {13, QFont::DemiBold}, {11, QFont::DemiBold},
                {11, QFont::Medium},   {19, QFont::Bold}};
            for (const auto& [points, weight] : requested) {
                auto* line = new QLabel(QStringLiteral("Graphics Card Sensors 0x73bf 16 GB"));
                line->setFont(tarsik::systemFont(points, weight));
                lines->addWidget(line);
            }
            auto* mono = new QLabel(QStringLiteral("0000:03:00.0"));
            mono->setFont(tarsik::monospacedFont(13));
            lines->addWidget(mono);
        }
        FirstPaint quitter([] { return true; });
        window.installEventFilter(&quitter);
        window.show();
        return QApplication::exec();
    }
    const tarsik::SymbolPreload symbols;
    tarsik::applyAppTheme();
    auto collector = std::make_shared<tarsik::GPUInfoCollector>(tarsik::platform::linuxServices(
        tarsik::platform::profilerFor(tarsik::platform::currentExecutable())));
    tarsik::GPUStore store(std::make_shared<tarsik::PooledCollector>(collector));
    QTemporaryDir folder;
    QSettings settings(folder.filePath("settings.ini"), QSettings::IniFormat);
    tarsik::AppCommands commands(store, settings);
    auto* window = new tarsik::MainWindow(store, settings, commands);
    const bool waitForRefresh = std::strcmp(mode, "refreshed") == 0;
    FirstPaint quitter([&store, waitForRefresh] { return store.refreshCount() >= (waitForRefresh ? 2 : 1); });
    window->installEventFilter(&quitter);
    if (waitForRefresh) {
        QObject::connect(&store, &tarsik::GPUStore::refreshCountChanged, window,
                         [window] { window->update(); });
    }
    window->show();
    return QApplication::exec();
}

#include "first_paint.moc"
