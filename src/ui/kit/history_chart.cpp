#include "ui/kit/history_chart.h"

#include "ui/kit/app_theme.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace tarsik {
namespace {

constexpr double inset = 2.0;

// Whole pixels: a flat reading a second older draws the same picture, so its chart repaints only
// when the line has moved a pixel along (every few seconds over a span of minutes).
double toPixel(double value) {
    return std::round(value);
}

// Adds a point to a stroke kept in its simplest form, so that pictures that look the same compare
// the same: a point on the last one's pixel adds nothing, and one that goes on along a level run
// moves the run's end instead of adding a point.
void extend(QPolygonF& stroke, QPointF point) {
    const auto size = stroke.size();
    if (size > 0 && stroke.back() == point) {
        return;
    }
    if (size > 1 && stroke[size - 1].y() == point.y() && stroke[size - 2].y() == point.y()) {
        stroke.back() = point;
        return;
    }
    stroke << point;
}

} // namespace

HistoryChart::HistoryChart(double spanSeconds, double joinWithinSeconds, QWidget* parent)
    : QWidget(parent), spanSeconds_(spanSeconds), joinWithinSeconds_(joinWithinSeconds) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void HistoryChart::setPoints(std::vector<Point> points) {
    points_ = std::move(points);
    relayOut();
}

void HistoryChart::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayOut();
}

void HistoryChart::relayOut() {
    auto strokes = layOut();
    if (strokes != strokes_) {
        strokes_ = std::move(strokes);
        update();
    }
}

std::vector<QPolygonF> HistoryChart::layOut() const {
    std::vector<const Point*> shown;
    for (const auto& point : points_) {
        if (point.secondsAgo >= 0 && point.secondsAgo <= spanSeconds_) {
            shown.push_back(&point);
        }
    }
    std::vector<QPolygonF> strokes;
    if (shown.empty()) {
        return strokes;
    }
    const auto [lowest, highest] = std::minmax_element(
        shown.begin(), shown.end(), [](const Point* a, const Point* b) { return a->value < b->value; });
    const double range = (*highest)->value - (*lowest)->value;
    const double left = inset;
    const double right = width() - inset;
    const double top = inset;
    const double bottom = height() - inset;
    const Point* previous = nullptr;
    for (const auto* point : shown) {
        const double x = right - (right - left) * point->secondsAgo / spanSeconds_;
        // A reading that never changed runs along the middle.
        const double share = range > 0 ? (point->value - (*lowest)->value) / range : 0.5;
        const double y = bottom - (bottom - top) * share;
        if (previous == nullptr || previous->secondsAgo - point->secondsAgo > joinWithinSeconds_) {
            strokes.emplace_back();
        }
        extend(strokes.back(), QPointF(toPixel(x), toPixel(y)));
        previous = point;
    }
    return strokes;
}

void HistoryChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(AppTheme::border(), 1));
    painter.drawLine(QPointF(inset, height() - 0.5), QPointF(width() - inset, height() - 0.5));
    const QColor line = AppTheme::accent();
    for (const auto& stroke : strokes_) {
        if (stroke.size() == 1) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(line);
            painter.drawEllipse(stroke.front(), 1.5, 1.5);
            continue;
        }
        QPainterPath area;
        area.moveTo(stroke.front().x(), height());
        for (const auto& point : stroke) {
            area.lineTo(point);
        }
        area.lineTo(stroke.back().x(), height());
        painter.fillPath(area, withOpacity(line, 0.16));
        painter.setPen(QPen(line, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(stroke);
    }
}

} // namespace tarsik
