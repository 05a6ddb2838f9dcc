#pragma once

#include <QMainWindow>

class QSettings;

namespace tarsik {

class AppCommands;
class GPUStore;
class MainWindowView;

// A top-level main window over the one store: its content, the program's menus and its saved
// frame. The content has the window's sizes; the menu bar comes on top. It deletes itself when
// closed.
class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    static constexpr QSize idealContentSize{760, 540};
    static constexpr QSize minimumContentSize{600, 460};

    MainWindow(GPUStore& store, QSettings& settings, const AppCommands& commands);

    MainWindowView* view() const { return view_; }

  private:
    MainWindowView* view_;
};

} // namespace tarsik
