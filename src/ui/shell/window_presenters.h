#pragma once

#include <QList>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>

class QAction;
class QMenuBar;

namespace tarsik {

// Adds the program's menus to a window's menu bar.
using MenuMaker = std::function<void(QMenuBar&)>;

// Owns one auxiliary window: the first show() builds it, later calls only bring the same window
// back to the front, un-minimised. Closing the window (also with Esc or Ctrl+W) hides it, so it
// returns where the user left it.
class WindowPresenter {
  public:
    struct Layout {
        QString title;
        // The content's fixed size; the window's menu bar comes on top of it.
        QSize size;
        bool miniaturisable = false;
        std::function<QWidget*()> makeContent;
        // The program's menus, if the window has a menu bar.
        MenuMaker addMenus;
        // Commands whose shortcuts work in the window without a menu to show them.
        QList<QAction*> shortcuts;
    };

    explicit WindowPresenter(Layout layout) : layout_(std::move(layout)) {}
    ~WindowPresenter();
    WindowPresenter(const WindowPresenter&) = delete;
    WindowPresenter& operator=(const WindowPresenter&) = delete;

    void show();
    // The window once built; null before the first show().
    QWidget* window() const { return window_; }

  private:
    QWidget* build() const;

    Layout layout_;
    QPointer<QWidget> window_;
};

class HelpWindowPresenter : public WindowPresenter {
  public:
    explicit HelpWindowPresenter(MenuMaker addMenus);
};

// A small window of its own: no menu bar, but the program's command keys work in it.
class AboutWindowPresenter : public WindowPresenter {
  public:
    explicit AboutWindowPresenter(QList<QAction*> shortcuts);
};

} // namespace tarsik
