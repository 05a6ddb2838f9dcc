#include "ui/kit/button_styles.h"

#include "ui/kit/accessibility.h"
#include "ui/kit/app_theme.h"
#include "ui/kit/symbols.h"
#include "ui/kit/text_fit.h"
#include "ui/kit/text_styles.h"

#include <QFontMetricsF>
#include <QPainter>

namespace tarsik {

StyledButton::StyledButton(QString symbol, const QString& text, QWidget* parent)
    : QAbstractButton(parent), symbol_(std::move(symbol)) {
    setText(text);
    setCursor(Qt::PointingHandCursor);
    fade_.setDuration(pressAnimationMs);
    fade_.setEasingCurve(QEasingCurve::OutQuad);
    connect(&fade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        opacity_ = value.toDouble();
        update();
    });
    connect(this, &QAbstractButton::pressed, this, [this] { fadeTo(look().pressedOpacity); });
    connect(this, &QAbstractButton::released, this, [this] { fadeTo(1.0); });
}

void StyledButton::setSymbol(const QString& symbol) {
    symbol_ = symbol;
    updateGeometry();
    update();
}

void StyledButton::setLabelWidth(int width) {
    labelWidth_ = width;
    updateGeometry();
    update();
}

void StyledButton::setMinimumLabelWidth(int width) {
    minimumLabelWidth_ = width;
    updateGeometry();
}

void StyledButton::fadeTo(double opacity) {
    fade_.stop();
    fade_.setStartValue(opacity_);
    fade_.setEndValue(opacity);
    fade_.start();
}

int StyledButton::naturalLabelWidth(const Look& current) const {
    return symbolWidth(current) + int(std::ceil(QFontMetricsF(current.font).horizontalAdvance(text())));
}

int StyledButton::labelHeight(const Look& current) const {
    return std::max(current.symbolFrame, QFontMetrics(current.font).height());
}

QSize StyledButton::sizeHint() const {
    const Look current = look();
    const int label =
        labelWidth_ > 0 ? labelWidth_ : std::max(minimumLabelWidth_, naturalLabelWidth(current));
    return {label + 2 * current.paddingX, labelHeight(current) + 2 * current.paddingY};
}

QSize StyledButton::minimumSizeHint() const {
    return sizeHint();
}

void StyledButton::paintEvent(QPaintEvent*) {
    const Look current = look();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setOpacity(isEnabled() ? opacity_ : 0.6 * opacity_);
    painter.fillRect(rect(), current.fill);
    painter.setPen(QPen(current.outline, 1));
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));

    // The label is centred; the text shrinks towards its minimum scale, then is cut.
    const QRect label = labelRect(current);
    const FittedText fitted = fitLabelText(current);
    const QFont font = scaledFont(current.font, fitted.scale);
    const double textRoom = label.width() - symbolWidth(current);
    const double textWidth = std::min(textRoom, QFontMetricsF(font).horizontalAdvance(fitted.text));
    double x = label.left() + std::max(0.0, (label.width() - symbolWidth(current) - textWidth) / 2);
    if (!symbol_.isEmpty()) {
        const QPixmap pixmap = symbolPixmap(symbol_, current.symbolPoints, current.text, devicePixelRatioF());
        const QSizeF size = pixmap.deviceIndependentSize();
        painter.drawPixmap(QPointF(x + (current.symbolFrame - size.width()) / 2,
                                   label.top() + (label.height() - size.height()) / 2),
                           pixmap);
        x += symbolWidth(current);
    }
    painter.setFont(font);
    painter.setPen(current.text);
    painter.drawText(QRectF(x, label.top(), textRoom, label.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     fitted.text);
}

QRect StyledButton::labelRect(const Look& current) const {
    return rect().adjusted(current.paddingX, current.paddingY, -current.paddingX, -current.paddingY);
}

int StyledButton::symbolWidth(const Look& current) const {
    return symbol_.isEmpty() ? 0 : current.symbolFrame + current.spacing;
}

FittedText StyledButton::fitLabelText(const Look& current) const {
    return fitText(text(), current.font, labelRect(current).width() - symbolWidth(current), 1,
                   current.minTextScale);
}

FittedText StyledButton::fittedText() const {
    return fitLabelText(look());
}

// A tab to screen readers, checked while it is the selected one.
GlassTabButton::GlassTabButton(const QString& symbol, const QString& title, QWidget* parent)
    : StyledButton(symbol, title, parent) {
    setCheckable(true);
    setAccessibleRole(this, QAccessible::PageTab);
    setAccessibleName(title);
}

void GlassTabButton::setActive(bool active) {
    active_ = active;
    setChecked(active);
    update();
}

StyledButton::Look GlassTabButton::look() const {
    return Look{.font = systemFont(12, active_ ? QFont::DemiBold : QFont::Medium),
                .text = active_ ? AppTheme::textPrimary() : AppTheme::textSecondary(),
                .paddingX = 10,
                .paddingY = 10,
                .fill = active_ ? withOpacity(AppTheme::accentSoft(), 0.88) : AppTheme::row(),
                .outline = active_ ? withOpacity(AppTheme::accent(), 0.7) : AppTheme::border(),
                .pressedOpacity = 0.965,
                .symbolPoints = 14,
                .symbolFrame = 18,
                .spacing = 6,
                .minTextScale = 0.7};
}

MetallicActionButton::MetallicActionButton(const QString& symbol, const QString& text, bool primary,
                                           QWidget* parent)
    : StyledButton(symbol, text, parent), primary_(primary) {}

StyledButton::Look MetallicActionButton::look() const {
    return Look{.font = systemFont(13, QFont::DemiBold),
                .text = AppTheme::textPrimary(),
                .paddingX = 13,
                .paddingY = 8,
                .fill = primary_ ? withOpacity(AppTheme::accentSoft(), 0.965) : AppTheme::control(),
                .outline = primary_ ? withOpacity(AppTheme::accent(), 0.6) : AppTheme::border(),
                .pressedOpacity = 0.92,
                .symbolPoints = 13,
                .symbolFrame = 15,
                .spacing = 7,
                .minTextScale = 0.82};
}

} // namespace tarsik
