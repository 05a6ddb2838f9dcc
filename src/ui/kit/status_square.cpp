#include "ui/kit/status_square.h"

#include "ui/kit/app_theme.h"

#include <QPainter>

namespace tarsik {

StatusSquare::StatusSquare(int side, QWidget* parent) : QWidget(parent), colour_(AppTheme::success()) {
    setFixedSize(side, side);
}

void StatusSquare::setRefreshing(bool refreshing) {
    colour_ = refreshing ? AppTheme::warning() : AppTheme::success();
    update();
}

void StatusSquare::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), colour_);
}

} // namespace tarsik
