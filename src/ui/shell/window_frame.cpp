#include "ui/shell/window_frame.h"

#include <QEvent>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace tarsik {
namespace {

constexpr int saveDelayMs = 250;

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
    QRect frame(QPoint(0, 0), size.grownBy(decorations));
    frame.moveCenter(area.center());
    return QRect(frame.topLeft() + QPoint(decorations.left(), decorations.top()), size);
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
    QList<QRect> areas;
    for (const auto* screen : QGuiApplication::screens()) {
        areas.append(screen->availableGeometry());
    }
    if (const auto frame = restorableFrame(settings_.value(windowFrameKey).toString(), areas)) {
        window_->setGeometry(*frame);
        placed_ = *frame;
        return;
    }
    centre();
}

void WindowFrameKeeper::centre() {
    const auto* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect frame = window_->frameGeometry();
    const QRect inner = window_->geometry();
    const QMargins decorations(inner.left() - frame.left(), inner.top() - frame.top(),
                               frame.right() - inner.right(), frame.bottom() - inner.bottom());
    centringUnframed_ = !window_->isVisible() || decorations.isNull();
    placed_ = centredWindow(inner.size(), decorations, screen->availableGeometry());
    window_->setGeometry(placed_);
}

bool WindowFrameKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && restored_) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
            // The desktop frames a window after it is shown; only then can it be centred whole.
            if (centringUnframed_ && window_->isVisible() &&
                window_->frameGeometry() != window_->geometry()) {
                centre();
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
    centringUnframed_ = false;
    settings_.setValue(windowFrameKey, frameString(placed_));
}

} // namespace tarsik
