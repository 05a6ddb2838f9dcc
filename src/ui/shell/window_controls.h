#pragma once

#include <QObject>
#include <QWidget>

namespace tarsik {

// Whether Tarsik draws its windows' controls itself: under Wayland where the compositor draws no
// decorations (GNOME, weston), since Qt's own would load the EGL stack. Set once at start-up.
void setOwnWindowControls(bool own);
bool ownWindowControls();

// The window's edges within `margin` of `point` in a window of `size`: where a press resizes it.
Qt::Edges resizeEdgesAt(QPoint point, QSize size, int margin);

// Minimise, maximise (or restore) and close buttons for the window they are in, in the theme's
// style; a fixed-size window gets no maximise button, and one that cannot be minimised none for
// that either.
class WindowControls : public QWidget {
    Q_OBJECT

  public:
    WindowControls(bool minimise, bool maximise, QWidget* parent = nullptr);
};

// Gives a window without decorations what the desktop's frame would: its edges resize it, and a
// double-click on `titleArea` maximises or restores it. It lives as long as the window.
class WindowEdges : public QObject {
    Q_OBJECT

  public:
    WindowEdges(QWidget* window, QWidget* titleArea);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* window_;
    QWidget* titleArea_;
};

} // namespace tarsik
