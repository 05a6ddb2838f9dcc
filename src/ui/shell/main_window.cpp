#include "ui/shell/main_window.h"

#include "ui/shell/main_window_view.h"
#include "ui/shell/window_frame.h"
#include "ui/shell/window_presenters.h"

#include <QApplication>
#include <QMenuBar>

namespace tarsik {

MainWindow::MainWindow(GPUStore& store, QSettings& settings)
    : store_(store), settings_(settings), view_(new MainWindowView(store)) {
    setAttribute(Qt::WA_DeleteOnClose);
    // The desktop's task switcher needs a name even where the content draws its own title.
    setWindowTitle("Tarsik");
    setCentralWidget(view_);
    buildMenus();
    resize(760, 540);
    (new WindowFrameKeeper(this, settings_))->restore();
}

void MainWindow::buildMenus() {
    auto* app = menuBar()->addMenu("&Tarsik");
    app->addAction("About Tarsik", [] { AboutWindowPresenter::shared().show(); });
    app->addSeparator();
    app->addAction("New Window", QKeySequence::New, [this] { (new MainWindow(store_, settings_))->show(); });
    app->addSeparator();
    auto* quit = app->addAction("Quit Tarsik", [] { QApplication::quit(); });
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);

    auto* help = menuBar()->addMenu("&Help");
    auto* helpAction = help->addAction("Tarsik Help", [] { HelpWindowPresenter::shared().show(); });
    helpAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Question));
}

} // namespace tarsik
