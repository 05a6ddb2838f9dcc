#include "ui/shell/app_commands.h"

#include "ui/shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>

namespace tarsik {
namespace {

constexpr int cascadeStep = 28;

bool overlapsAnotherMainWindow(const MainWindow& window) {
    for (auto* widget : QApplication::topLevelWidgets()) {
        auto* other = qobject_cast<MainWindow*>(widget);
        if (other != nullptr && other != &window && other->isVisible() &&
            (other->geometry().topLeft() - window.geometry().topLeft()).manhattanLength() < cascadeStep) {
            return true;
        }
    }
    return false;
}

} // namespace

AppCommands::AppCommands(GPUStore& store, QSettings& settings, QObject* parent)
    : QObject(parent), store_(store), settings_(settings), about_(new QAction("About Tarsik", this)),
      newWindow_(new QAction("New Window", this)), quit_(new QAction("Quit Tarsik", this)),
      help_(new QAction("Tarsik Help", this)), helpPresenter_([this](QMenuBar& bar) { addMenus(bar); }),
      aboutPresenter_({about_, newWindow_, quit_, help_}) {
    about_->setMenuRole(QAction::AboutRole);
    connect(about_, &QAction::triggered, this, [this] { aboutPresenter_.show(); });
    newWindow_->setShortcut(QKeySequence::New);
    connect(newWindow_, &QAction::triggered, this, &AppCommands::openMainWindow);
    quit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit_->setMenuRole(QAction::QuitRole);
    connect(quit_, &QAction::triggered, qApp, &QApplication::quit);
    // F1 is the desktop's Help key. "?" is a shifted key: X11 and Wayland report Ctrl+Shift+/ as
    // Ctrl+?, other platforms keep the Shift, so both forms open Help too.
    help_->setShortcuts({QKeySequence(Qt::Key_F1), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Question),
                         QKeySequence(Qt::CTRL | Qt::Key_Question)});
    connect(help_, &QAction::triggered, this, [this] { helpPresenter_.show(); });
}

MainWindow* AppCommands::openMainWindow() {
    auto* window = new MainWindow(store_, settings_, *this);
    for (int step = 0; step < 10 && overlapsAnotherMainWindow(*window); ++step) {
        window->setGeometry(window->geometry().translated(cascadeStep, cascadeStep));
    }
    window->show();
    return window;
}

void AppCommands::addMenus(QMenuBar& bar) const {
    auto* app = bar.addMenu("&Tarsik");
    app->addAction(about_);
    app->addSeparator();
    app->addAction(newWindow_);
    app->addSeparator();
    app->addAction(quit_);
    bar.addMenu("&Help")->addAction(help_);
}

} // namespace tarsik
