#pragma once

#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>

namespace tarsik {

// Owns one auxiliary window: the first show() builds it, later calls only bring the same window
// back to the front. Closing the window hides it, so it returns where the user left it.
class WindowPresenter {
  public:
    struct Spec {
        QString title;
        QSize size;
        QSize minimumSize;
        bool miniaturisable = false;
        std::function<QWidget*()> makeContent;
    };

    explicit WindowPresenter(Spec spec) : spec_(std::move(spec)) {}
    ~WindowPresenter();
    WindowPresenter(const WindowPresenter&) = delete;
    WindowPresenter& operator=(const WindowPresenter&) = delete;

    void show();
    // The window once built; null before the first show().
    QWidget* window() const { return window_; }

  private:
    Spec spec_;
    QPointer<QWidget> window_;
};

class HelpWindowPresenter : public WindowPresenter {
  public:
    HelpWindowPresenter();
    // The process-wide instance the menu commands use.
    static HelpWindowPresenter& shared();
};

class AboutWindowPresenter : public WindowPresenter {
  public:
    AboutWindowPresenter();
    static AboutWindowPresenter& shared();
};

} // namespace tarsik
