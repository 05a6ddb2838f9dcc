#include "fixture_machine.h"
#include "store/gpu_store.h"
#include "ui/shell/app_theme.h"
#include "ui/shell/glass_panel.h"
#include "ui/shell/help_view.h"
#include "ui/shell/main_window.h"
#include "ui/shell/main_window_view.h"
#include "ui/shell/tab_bar.h"
#include "ui/shell/window_presenters.h"
#include "ui/tabs/advanced_view.h"
#include "ui/tabs/graphics_card_view.h"
#include "ui/tabs/sensors_view.h"
#include "ui/tabs/validation_view.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <cstdio>

using namespace tarsik;

namespace {

// Lets queued work (store tasks, layouts, paints) settle before a picture is taken.
void settle() {
    for (int round = 0; round < 5; ++round) {
        QApplication::processEvents();
        QTest::qWait(30);
    }
}

bool save(QWidget& widget, const QString& path) {
    settle();
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// One tab as the main window shows it: on the window background, padded 12 at the sides.
bool shootTab(QWidget* tab, const QString& path) {
    MetallicBackgroundView window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(tab);
    window.resize(760, 560);
    window.show();
    return save(window, path);
}

} // namespace

// Saves a PNG of each tab and of the Help and About windows, fed from a fixture machine.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    applyAppTheme(app);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(folder);

    GPUStore store(std::make_shared<screenshots::FixtureMachine>());
    store.startupRefresh();
    settle();

    auto* card = new GraphicsCardView;
    card->setGPU(store.selectedGPU());
    bool ok = shootTab(card, folder + QStringLiteral("/graphics-card.png"));
    ok = shootTab(new SensorsView(store), folder + QStringLiteral("/sensors.png")) && ok;
    ok = shootTab(new AdvancedView(store), folder + QStringLiteral("/advanced.png")) && ok;
    ok = shootTab(new ValidationView(store), folder + QStringLiteral("/validation.png")) && ok;
    ok = shootTab(new HelpView, folder + QStringLiteral("/help-tab.png")) && ok;

    // The whole main window, over a store of its own that starts up as the app's does.
    QTemporaryDir settingsFolder;
    QSettings settings(settingsFolder.filePath("settings.ini"), QSettings::IniFormat);
    GPUStore windowStore(std::make_shared<screenshots::FixtureMachine>());
    auto* window = new MainWindow(windowStore, settings);
    window->show();
    ok = save(*window, folder + QStringLiteral("/main-window.png")) && ok;
    window->resize(600, 460);
    ok = save(*window, folder + QStringLiteral("/main-window-minimum.png")) && ok;
    window->resize(760, 540);
    emit window->view()->tabBar()->selected(1);
    window->view()->tabBar()->setSelectedTab(1);
    ok = save(*window, folder + QStringLiteral("/main-window-sensors.png")) && ok;

    HelpWindowPresenter help;
    help.show();
    ok = save(*help.window(), folder + QStringLiteral("/help-window.png")) && ok;
    AboutWindowPresenter about;
    about.show();
    ok = save(*about.window(), folder + QStringLiteral("/about-window.png")) && ok;
    return ok ? 0 : 1;
}
