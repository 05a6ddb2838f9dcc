#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSettings>
#include <QTimer>
#include <optional>

class QWidget;

namespace tarsik {

inline constexpr auto windowFrameKey = "TarsikMainWindowFrame";
// The smallest frame worth restoring.
inline constexpr QSize minimumWindowSize{600, 460};

// "{{x, y}, {width, height}}". Positions are the desktop's: origin at the top left of the
// virtual screen, as Qt gives them.
QString frameString(const QRect& frame);
// The inverse; anything that is not exactly that shape reads as the zero rectangle.
QRectF parseFrameString(const QString& text);
// The saved frame when it is large enough and overlaps some screen's available area at all;
// nothing means "centre the window".
std::optional<QRect> restorableFrame(const QString& saved, const QList<QRect>& availableAreas);
// Where a window of `size` goes so that its frame, decorations included, is centred in `area`;
// shrunk first where it is larger than the area.
QRect centredWindow(QSize size, const QMargins& decorations, const QRect& area);
// `window` moved, and shrunk where it must be, so that with its decorations (the title bar above
// all) it lies within the first of `areas` it overlaps, else the first of them.
QRect fittedWindow(const QRect& window, const QMargins& decorations, const QList<QRect>& areas);
// What to save for `window`: nothing when, decorations included, it does not fit within one of
// `areas`. Where the desktop never tells a window's position (Wayland), `keptOrigin` is the saved
// one, kept with the new size, and only the size has to fit.
std::optional<QRect> frameToSave(const QRect& window, const QMargins& decorations, const QList<QRect>& areas,
                                 std::optional<QPoint> keptOrigin);

// Puts a main window back where the user left it, always whole on a screen with its title bar,
// and keeps its frame in the settings: one write 0.25 s after the last move or resize by the user,
// one more on close, none while the window is hidden or minimised or does not fit the screen.
// Placing the window itself writes nothing.
class WindowFrameKeeper : public QObject {
    Q_OBJECT

  public:
    WindowFrameKeeper(QWidget* window, QSettings& settings);

    // Restores (or centres) the window once; later calls do nothing.
    void restore();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void centre();
    void place(const QRect& frame);
    QMargins decorations() const;
    void save();

    QPointer<QWidget> window_;
    QSettings& settings_;
    QTimer saveTimer_;
    bool restored_ = false;
    // Placed before the desktop had framed the window: placed again once the frame is known.
    bool placedUnframed_ = false;
    bool centred_ = false;
    // The frame last placed or saved; the window reporting it again is no move of the user's.
    QRect placed_;
};

} // namespace tarsik
