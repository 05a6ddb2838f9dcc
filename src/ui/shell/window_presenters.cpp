#include "ui/shell/window_presenters.h"

#include "ui/shell/about_window.h"
#include "ui/shell/help_window.h"

#include <QApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace tarsik {

WindowPresenter::~WindowPresenter() {
    delete window_;
}

void WindowPresenter::show() {
    if (window_) {
        window_->show();
        window_->raise();
        window_->activateWindow();
        return;
    }
    Qt::WindowFlags flags =
        Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
    if (layout_.miniaturisable) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    auto* window = new QWidget(nullptr, flags);
    window->setWindowTitle(layout_.title);
    window->setMinimumSize(layout_.minimumSize);
    window->setFixedSize(layout_.size); // not resizable by the user
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(layout_.makeContent());
    if (const QScreen* screen = QApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), layout_.size);
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
    window_ = window;
    window_->show();
    window_->raise();
    window_->activateWindow();
}

HelpWindowPresenter::HelpWindowPresenter()
    : WindowPresenter({.title = QStringLiteral("Tarsik Help"),
                       .size = {700, 560},
                       .minimumSize = {600, 480},
                       .miniaturisable = true,
                       .makeContent = [] { return new HelpWindowContent; }}) {}

HelpWindowPresenter& HelpWindowPresenter::shared() {
    // Never destroyed: its window lives as long as the process, past the application object.
    static auto* presenter = new HelpWindowPresenter;
    return *presenter;
}

AboutWindowPresenter::AboutWindowPresenter()
    : WindowPresenter({.title = QStringLiteral("About Tarsik"),
                       .size = {520, 400},
                       .minimumSize = {500, 390},
                       .miniaturisable = false,
                       .makeContent = [] { return new AboutWindowContent; }}) {}

AboutWindowPresenter& AboutWindowPresenter::shared() {
    // Never destroyed: its window lives as long as the process, past the application object.
    static auto* presenter = new AboutWindowPresenter;
    return *presenter;
}

} // namespace tarsik
