#include "ui/shell/window_presenters.h"

#include "ui/shell/about_window.h"
#include "ui/shell/help_window.h"
#include "ui/shell/window_controls.h"
#include "ui/shell/window_frame.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>

namespace tarsik {
namespace {

// How the desktop frames its windows, as it framed the active one; nothing before it has.
QMargins activeWindowDecorations() {
    const QWidget* active = QApplication::activeWindow();
    if (active == nullptr) {
        return {};
    }
    const QRect frame = active->frameGeometry();
    const QRect inner = active->geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

} // namespace

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
    if (ownWindowControls()) {
        // Above the content, on its background, where the desktop's title bar would be.
        auto* controls = new QHBoxLayout;
        controls->setContentsMargins(8, 6, 8, 6);
        controls->addStretch();
        controls->addWidget(new WindowControls(layout_.miniaturisable, false));
        layout->addLayout(controls);
    }
    layout->addWidget(content);
    window->addActions(layout_.shortcuts);
    auto* close = new QAction(window);
    close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    QObject::connect(close, &QAction::triggered, window, &QWidget::close);
    window->addAction(close);
    window->adjustSize();
    if (const QScreen* screen = QApplication::primaryScreen()) {
        // On a screen too small for it (a large scale factor) the content gives way, so that
        // the window fits whole with its title bar, framed as the active window is.
        const QMargins decorations = activeWindowDecorations();
        const QSize chrome = window->sizeHint() - layout_.size;
        const QSize room = screen->availableGeometry().size().shrunkBy(decorations) - chrome;
        content->setFixedSize(layout_.size.boundedTo(room));
        window->adjustSize();
        const QRect placed = centredWindow(window->size(), decorations, screen->availableGeometry());
        window->move(placed.topLeft() - QPoint(decorations.left(), decorations.top()));
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
