#include "ui/shell/window_presenters.h"

#include "ui/shell/about_window.h"
#include "ui/shell/help_window.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>

namespace tarsik {

WindowPresenter::~WindowPresenter() {
    delete window_;
}

void WindowPresenter::show() {
    if (!window_) {
        window_ = build();
    }
    window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

QWidget* WindowPresenter::build() const {
    Qt::WindowFlags flags =
        Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
    if (layout_.miniaturisable) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    auto* window = new QWidget(nullptr, flags);
    window->setWindowTitle(layout_.title);
    auto* content = layout_.makeContent();
    content->setFixedSize(layout_.size);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize); // not resizable by the user
    if (layout_.addMenus) {
        auto* bar = new QMenuBar;
        layout_.addMenus(*bar);
        layout->setMenuBar(bar);
    }
    layout->addWidget(content);
    window->addActions(layout_.shortcuts);
    auto* close = new QAction(window);
    close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    QObject::connect(close, &QAction::triggered, window, &QWidget::close);
    window->addAction(close);
    window->adjustSize();
    if (const QScreen* screen = QApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), window->size());
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
    return window;
}

HelpWindowPresenter::HelpWindowPresenter(MenuMaker addMenus)
    : WindowPresenter({.title = QStringLiteral("Tarsik Help"),
                       .size = {700, 560},
                       .miniaturisable = true,
                       .makeContent = [] { return new HelpWindowContent; },
                       .addMenus = std::move(addMenus)}) {}

AboutWindowPresenter::AboutWindowPresenter(QList<QAction*> shortcuts)
    : WindowPresenter({.title = QStringLiteral("About Tarsik"),
                       .size = {520, 400},
                       .miniaturisable = false,
                       .makeContent = [] { return new AboutWindowContent; },
                       .shortcuts = std::move(shortcuts)}) {}

} // namespace tarsik
