#include "ui/kit/app_style.h"

#include "ui/kit/app_theme.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <algorithm>

namespace tarsik {
namespace {

constexpr int scrollBarExtent = 10;
constexpr int scrollHandleMinimum = 24;
constexpr int scrollHandleInset = 2;
constexpr QSize buttonPadding{9, 3};
constexpr int focusRingWidth = 2;

QColor scrollHandle() {
    return QColor::fromRgbF(1, 1, 1, 0.22f);
}

// A rectangle filled with `fill` and outlined 1 point inside its bounds.
void drawPlate(QPainter* painter, const QRect& rect, const QColor& fill, const QColor& outline) {
    painter->save();
    painter->fillRect(rect, fill);
    painter->setPen(QPen(outline, 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5));
    painter->restore();
}

} // namespace

AppStyle::AppStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

int AppStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    switch (metric) {
    case PM_ScrollBarExtent:
        return scrollBarExtent;
    case PM_ScrollBarSliderMin:
        return scrollHandleMinimum;
    case PM_FocusFrameHMargin:
    case PM_FocusFrameVMargin:
        return focusRingWidth;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QSize AppStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                                 const QWidget* widget) const {
    if (type == CT_PushButton) {
        return contents + 2 * buttonPadding + QSize(2, 2);
    }
    return QProxyStyle::sizeFromContents(type, option, contents, widget);
}

// The handle runs the whole length of the bar: there are no arrow buttons.
QRect AppStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                               const QWidget* widget) const {
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || bar == nullptr) {
        return QProxyStyle::subControlRect(control, option, sub, widget);
    }
    const bool horizontal = bar->orientation == Qt::Horizontal;
    const QRect groove = bar->rect;
    const int length = horizontal ? groove.width() : groove.height();
    const qint64 range = qint64(bar->maximum) - bar->minimum;
    int handle = range > 0 ? int(qint64(length) * bar->pageStep / (range + bar->pageStep)) : length;
    handle = std::clamp(handle, std::min(scrollHandleMinimum, length), length);
    const int start = sliderPositionFromValue(bar->minimum, bar->maximum, bar->sliderPosition,
                                              length - handle, bar->upsideDown);
    const auto span = [&](int from, int size) {
        return horizontal ? QRect(groove.x() + from, groove.y(), size, groove.height())
                          : QRect(groove.x(), groove.y() + from, groove.width(), size);
    };
    switch (sub) {
    case SC_ScrollBarGroove:
        return groove;
    case SC_ScrollBarSlider:
        return span(start, handle);
    case SC_ScrollBarSubPage:
        return span(0, start);
    case SC_ScrollBarAddPage:
        return span(start + handle, length - start - handle);
    default:
        return {};
    }
}

void AppStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const {
    switch (element) {
    case PE_PanelButtonCommand: {
        const bool down = option->state & (State_Sunken | State_On);
        drawPlate(painter, option->rect, down ? AppTheme::accentSoft() : AppTheme::control(),
                  AppTheme::border());
        return;
    }
    case PE_PanelLineEdit:
        drawPlate(painter, option->rect, AppTheme::control(),
                  option->state & State_HasFocus ? withOpacity(AppTheme::accent(), 0.7) : AppTheme::border());
        return;
    case PE_FrameLineEdit:
        return; // the panel draws the outline
    case PE_PanelTipLabel:
        drawPlate(painter, option->rect, AppTheme::control(), AppTheme::border());
        return;
    default:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void AppStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                           const QWidget* widget) const {
    if (element == CE_FocusFrame) {
        // The focus frame clips its painting to the ring around the control.
        painter->fillRect(option->rect, AppTheme::accent());
        return;
    }
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element == CE_MenuItem && item != nullptr && item->menuItemType == QStyleOptionMenuItem::Separator) {
        painter->fillRect(option->rect, option->palette.window());
        painter->fillRect(
            QRect(option->rect.left() + 8, option->rect.center().y(), option->rect.width() - 16, 1),
            scrollHandle());
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void AppStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                  QPainter* painter, const QWidget* widget) const {
    if (control == CC_ScrollBar) {
        const QRect handle = subControlRect(control, option, SC_ScrollBarSlider, widget);
        painter->fillRect(
            handle.adjusted(scrollHandleInset, scrollHandleInset, -scrollHandleInset, -scrollHandleInset),
            scrollHandle());
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

} // namespace tarsik
