#pragma once

#include <QProxyStyle>

namespace tarsik {

// Fusion with the theme's square, flat controls: outlined push buttons and text fields, thin
// scroll bars of a handle only, visible menu separators and outlined tooltips. Drawn in code
// rather than by a style sheet, which would restyle every widget of every window at start-up.
class AppStyle : public QProxyStyle {
    Q_OBJECT

  public:
    AppStyle();

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                           const QWidget* widget) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;
};

} // namespace tarsik
