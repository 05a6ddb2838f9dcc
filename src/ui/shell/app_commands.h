#pragma once

#include "ui/shell/window_presenters.h"

#include <QObject>

class QAction;
class QMenuBar;
class QSettings;

namespace tarsik {

class GPUStore;
class MainWindow;

// The program's four commands (About, New Window, Quit, Help), one set for the process. Every
// window (main, Help and About) carries the same menus, so a command and its shortcut work from
// whichever window is active, also when the main windows are closed.
class AppCommands : public QObject {
    Q_OBJECT

  public:
    AppCommands(GPUStore& store, QSettings& settings, QObject* parent = nullptr);

    // A new main window, shown. One that would open exactly over another is moved down and to
    // the right, so that it is seen to open.
    MainWindow* openMainWindow();
    // The Tarsik and Help menus, added to a window's menu bar.
    void addMenus(QMenuBar& bar) const;

    QAction& aboutAction() const { return *about_; }
    QAction& newWindowAction() const { return *newWindow_; }
    QAction& quitAction() const { return *quit_; }
    QAction& helpAction() const { return *help_; }
    WindowPresenter& helpPresenter() { return helpPresenter_; }
    WindowPresenter& aboutPresenter() { return aboutPresenter_; }

  private:
    GPUStore& store_;
    QSettings& settings_;
    QAction* about_;
    QAction* newWindow_;
    QAction* quit_;
    QAction* help_;
    HelpWindowPresenter helpPresenter_;
    AboutWindowPresenter aboutPresenter_;
};

} // namespace tarsik
