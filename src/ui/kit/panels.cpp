#include "ui/kit/panels.h"

#include "ui/kit/app_theme.h"

#include <QPainter>
#include <QVBoxLayout>

namespace tarsik {

MetallicBackgroundView::MetallicBackgroundView(QWidget* parent) : QWidget(parent) {}

void MetallicBackgroundView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), AppTheme::background());
}

MetallicPanel::MetallicPanel(QWidget* parent) : QWidget(parent) {}

QRect MetallicPanel::panelRect() const {
    return rect().adjusted(0, 0, 0, -shadowExtent);
}

void MetallicPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect panel = panelRect();
    // Shadow of radius 2 moved 1 down: what shows below the panel fades over three rows.
    constexpr double falloff[shadowExtent] = {0.75, 0.4, 0.12};
    for (int row = 0; row < shadowExtent; ++row) {
        painter.fillRect(QRect(panel.left() + 1, panel.bottom() + 1 + row, panel.width() - 2, 1),
                         withOpacity(AppTheme::shadow(), falloff[row]));
    }
    painter.fillRect(panel, AppTheme::panel());
    painter.setPen(QPen(AppTheme::border(), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(panel).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.fillRect(QRect(panel.left(), panel.top(), panel.width(), 1),
                     withOpacity(AppTheme::accent(), 0.34));
}

GlassPanel::GlassPanel(QWidget* content, QWidget* parent) : MetallicPanel(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12 + shadowExtent);
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
