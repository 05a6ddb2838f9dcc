#include "ui/shell/main_window.h"

#include "ui/shell/app_commands.h"
#include "ui/shell/header_view.h"
#include "ui/shell/main_window_view.h"
#include "ui/shell/window_controls.h"
#include "ui/shell/window_frame.h"

#include <QAction>
#include <QMenuBar>

namespace tarsik {

MainWindow::MainWindow(GPUStore& store, QSettings& settings, const AppCommands& commands)
    : view_(new MainWindowView(store)) {
    setAttribute(Qt::WA_DeleteOnClose);
    // The desktop's task switcher needs a name even where the content draws its own title.
    setWindowTitle("Tarsik");
    setCentralWidget(view_);
    commands.addMenus(*menuBar());
    auto* closeWindow = new QAction(this);
    closeWindow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(closeWindow, &QAction::triggered, this, &QWidget::close);
    addAction(closeWindow);
    // The minimum is the window's own, so that on a screen smaller than it the frame keeper can
    // lower it and the window still fits.
    const QSize menu(0, menuBar()->sizeHint().height());
    setMinimumSize(minimumContentSize + menu);
    resize(idealContentSize + menu);
    if (ownWindowControls()) {
        new WindowEdges(this, view_->header());
    }
    (new WindowFrameKeeper(this, settings))->restore();
}

} // namespace tarsik
