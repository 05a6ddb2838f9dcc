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
// Where a window of `size` goes so that its frame, decorations included, is centred in `area`.
QRect centredWindow(QSize size, const QMargins& decorations, const QRect& area);

// Puts a main window back where the user left it and keeps its frame in the settings: one write
// 0.25 s after the last move or resize by the user, one more on close, none while the window is
// hidden or minimised. Placing the window itself writes nothing.
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
    void save();

    QPointer<QWidget> window_;
    QSettings& settings_;
    QTimer saveTimer_;
    bool restored_ = false;
    // Centred before the desktop had framed the window: centred again once the frame is known.
    bool centringUnframed_ = false;
    // The frame last placed or saved; the window reporting it again is no move of the user's.
    QRect placed_;
};

} // namespace tarsik
