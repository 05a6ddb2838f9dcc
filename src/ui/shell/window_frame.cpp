#include "ui/shell/window_frame.h"

#include <QEvent>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace tarsik {
namespace {

constexpr int saveDelayMs = 250;

QList<QRect> availableAreas() {
    QList<QRect> areas;
    for (const auto* screen : QGuiApplication::screens()) {
        areas.append(screen->availableGeometry());
    }
    return areas;
}

// Wayland never tells a window where it is, and every window reads as placed at 0, 0.
bool positionsKnown() {
    return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

QString number(double value) {
    return QString::number(value, 'g', 17);
}

} // namespace

QString frameString(const QRect& frame) {
    return QStringLiteral("{{%1, %2}, {%3, %4}}")
        .arg(number(frame.x()), number(frame.y()), number(frame.width()), number(frame.height()));
}

QRectF parseFrameString(const QString& text) {
    static const QRegularExpression shape(QStringLiteral(
        R"(^\s*\{\s*\{\s*([^,{}\s]+)\s*,\s*([^,{}\s]+)\s*\}\s*,\s*\{\s*([^,{}\s]+)\s*,\s*([^,{}\s]+)\s*\}\s*\}\s*$)"));
    const auto match = shape.match(text);
    if (!match.hasMatch()) {
        return {};
    }
    double values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = match.captured(i + 1).toDouble(&ok);
        if (!ok || !std::isfinite(values[i])) {
            return {};
        }
    }
    return QRectF(values[0], values[1], values[2], values[3]);
}

std::optional<QRect> restorableFrame(const QString& saved, const QList<QRect>& availableAreas) {
    const QRectF frame = parseFrameString(saved);
    if (!(frame.width() >= minimumWindowSize.width()) || !(frame.height() >= minimumWindowSize.height())) {
        return std::nullopt;
    }
    // Far outside int range cannot be on any screen.
    if (std::abs(frame.x()) > 1e7 || std::abs(frame.y()) > 1e7 || frame.width() > 1e7 ||
        frame.height() > 1e7) {
        return std::nullopt;
    }
    const QRect rect = frame.toAlignedRect();
    for (const auto& area : availableAreas) {
        if (rect.intersects(area)) {
            return rect;
        }
    }
    return std::nullopt;
}

QRect centredWindow(QSize size, const QMargins& decorations, const QRect& area) {
    const QSize fitting = size.boundedTo(area.size().shrunkBy(decorations));
    QRect frame(QPoint(0, 0), fitting.grownBy(decorations));
    frame.moveCenter(area.center());
    return QRect(frame.topLeft() + QPoint(decorations.left(), decorations.top()), fitting);
}

QRect fittedWindow(const QRect& window, const QMargins& decorations, const QList<QRect>& areas) {
    if (areas.isEmpty()) {
        return window;
    }
    const auto overlapped =
        std::find_if(areas.begin(), areas.end(), [&](const QRect& area) { return area.intersects(window); });
    const QRect room = (overlapped != areas.end() ? *overlapped : areas.front()).marginsRemoved(decorations);
    QRect fitted(window.topLeft(), window.size().boundedTo(room.size()));
    fitted.moveRight(std::min(fitted.right(), room.right()));
    fitted.moveBottom(std::min(fitted.bottom(), room.bottom()));
    fitted.moveLeft(std::max(fitted.left(), room.left()));
    fitted.moveTop(std::max(fitted.top(), room.top()));
    return fitted;
}

std::optional<QRect> frameToSave(const QRect& window, const QMargins& decorations, const QList<QRect>& areas,
                                 std::optional<QPoint> keptOrigin) {
    const QRect frame = window.marginsAdded(decorations);
    const bool fits = std::any_of(areas.begin(), areas.end(), [&](const QRect& area) {
        return keptOrigin ? area.width() >= frame.width() && area.height() >= frame.height()
                          : area.contains(frame);
    });
    if (!fits) {
        return std::nullopt;
    }
    return keptOrigin ? QRect(*keptOrigin, window.size()) : window;
}

WindowFrameKeeper::WindowFrameKeeper(QWidget* window, QSettings& settings)
    : QObject(window), window_(window), settings_(settings) {
    saveTimer_.setSingleShot(true);
    saveTimer_.setInterval(saveDelayMs);
    connect(&saveTimer_, &QTimer::timeout, this, &WindowFrameKeeper::save);
    window->installEventFilter(this);
}

void WindowFrameKeeper::restore() {
    if (restored_ || !window_) {
        return;
    }
    restored_ = true;
    const auto areas = availableAreas();
    if (const auto frame = restorableFrame(settings_.value(windowFrameKey).toString(), areas)) {
        centred_ = false;
        place(fittedWindow(*frame, decorations(), areas));
        return;
    }
    centre();
}

QMargins WindowFrameKeeper::decorations() const {
    const QRect frame = window_->frameGeometry();
    const QRect inner = window_->geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

void WindowFrameKeeper::centre() {
    const auto* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    centred_ = true;
    place(centredWindow(window_->size(), decorations(), screen->availableGeometry()));
}

void WindowFrameKeeper::place(const QRect& frame) {
    placedUnframed_ = !window_->isVisible() || decorations().isNull();
    // On a screen smaller than the window's minimum, the minimum gives way.
    window_->setMinimumSize(window_->minimumSize().boundedTo(frame.size()));
    placed_ = frame;
    window_->setGeometry(frame);
}

bool WindowFrameKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && restored_) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
            // The desktop frames a window after it is shown; only then is its title bar known.
            if (placedUnframed_ && window_->isVisible() && !decorations().isNull()) {
                if (centred_) {
                    centre();
                } else {
                    place(fittedWindow(window_->geometry(), decorations(), availableAreas()));
                }
            } else if (event->type() != QEvent::WindowActivate && window_->geometry() != placed_) {
                saveTimer_.start();
            }
            break;
        case QEvent::Close:
            saveTimer_.stop();
            save();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void WindowFrameKeeper::save() {
    if (!window_ || !window_->isVisible() || window_->isMinimized()) {
        return;
    }
    placed_ = window_->geometry();
    placedUnframed_ = false;
    std::optional<QPoint> keptOrigin;
    if (!positionsKnown()) {
        keptOrigin = parseFrameString(settings_.value(windowFrameKey).toString()).topLeft().toPoint();
    }
    if (const auto frame = frameToSave(placed_, decorations(), availableAreas(), keptOrigin)) {
        settings_.setValue(windowFrameKey, frameString(*frame));
    }
}

} // namespace tarsik
