#pragma once

#include <QMainWindow>

class QSettings;

namespace tarsik {

class GPUStore;
class MainWindowView;

// A top-level main window over the one store: its content, its menus (About, New Window, Quit,
// Help) and its saved frame. It deletes itself when closed.
class MainWindow : public QMainWindow {
  public:
    MainWindow(GPUStore& store, QSettings& settings);

    MainWindowView* view() const { return view_; }

  private:
    void buildMenus();

    GPUStore& store_;
    QSettings& settings_;
    MainWindowView* view_;
};

} // namespace tarsik
