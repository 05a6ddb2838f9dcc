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
inline constexpr QSize minimumWindowSize{600, 460};

// "{{x, y}, {width, height}}". Positions are the desktop's: origin at the top left of the
// virtual screen, as Qt gives them.
QString frameString(const QRect& frame);
// The inverse; anything that is not exactly that shape reads as the zero rectangle.
QRectF parseFrameString(const QString& text);
// The saved frame when it is large enough and overlaps some screen's available area at all;
// nothing means "centre the window".
std::optional<QRect> restorableFrame(const QString& saved, const QList<QRect>& availableAreas);

// Puts a main window back where the user left it and keeps its frame in the settings: one write
// 0.25 s after the last move or resize, one more on close, none while the window is hidden or
// minimised.
class WindowFrameKeeper : public QObject {
    Q_OBJECT

  public:
    WindowFrameKeeper(QWidget* window, QSettings& settings);

    // Restores (or centres) the window once; later calls do nothing.
    void restore();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void save();

    QPointer<QWidget> window_;
    QSettings& settings_;
    QTimer saveTimer_;
    bool restored_ = false;
};

} // namespace tarsik
