#include "ui/kit/panels.h"

#include "ui/kit/app_theme.h"

#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QWindow>

namespace tarsik {

MetallicBackgroundView::MetallicBackgroundView(QWidget* parent) : QWidget(parent) {}

void MetallicBackgroundView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), AppTheme::background());
    // A shadow of radius 2 moved 1 down: what shows below each panel fades over three rows.
    constexpr double falloff[] = {0.75, 0.4, 0.12};
    for (const auto* panel : findChildren<MetallicPanel*>()) {
        if (!panel->isVisible()) {
            continue;
        }
        const QRect area(panel->mapTo(this, QPoint(0, 0)), panel->size());
        for (int row = 0; row < 3; ++row) {
            painter.fillRect(QRect(area.left() + 1, area.bottom() + 1 + row, area.width() - 2, 1),
                             withOpacity(AppTheme::shadow(), falloff[row]));
        }
    }
}

void MetallicBackgroundView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The window system moves the window where it can (X11, Wayland), from the pressed point on;
    // elsewhere the window follows the pointer.
    if (window()->windowHandle() != nullptr && window()->windowHandle()->startSystemMove()) {
        return;
    }
    dragStart_ = event->globalPosition();
    windowAtDragStart_ = window()->pos();
}

void MetallicBackgroundView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragStart_ || !(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    window()->move(windowAtDragStart_ + (event->globalPosition() - *dragStart_).toPoint());
}

void MetallicBackgroundView::mouseReleaseEvent(QMouseEvent* event) {
    dragStart_.reset();
    QWidget::mouseReleaseEvent(event);
}

MetallicPanel::MetallicPanel(QWidget* parent) : QWidget(parent) {}

void MetallicPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), AppTheme::panel());
    painter.setPen(QPen(AppTheme::border(), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.fillRect(QRect(0, 0, width(), 1), withOpacity(AppTheme::accent(), 0.34));
}

GlassPanel::GlassPanel(QWidget* content, QWidget* parent) : MetallicPanel(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(content);
}

OutlinedBox::OutlinedBox(const QColor& fill, const QColor& outline, QWidget* parent)
    : QWidget(parent), fill_(fill), outline_(outline) {}

void OutlinedBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), fill_);
    painter.setPen(QPen(outline_, 1));
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

Divider::Divider(Qt::Orientation orientation, double opacity, QWidget* parent)
    : QWidget(parent), opacity_(opacity) {
    if (orientation == Qt::Horizontal) {
        setFixedHeight(1);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    } else {
        setFixedWidth(1);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    }
}

// The separator colour of the dark scheme, then the divider's own opacity.
void Divider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgbF(1, 1, 1, float(0.26 * opacity_)));
}

} // namespace tarsik
