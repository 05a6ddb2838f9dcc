#include "ui/kit/app_theme.h"

#include "ui/kit/app_style.h"
#include "ui/kit/focus_ring.h"
#include "ui/kit/text_styles.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace tarsik {
namespace {

QColor srgb(double red, double green, double blue) {
    return QColor::fromRgbF(float(red), float(green), float(blue));
}
QColor white(double opacity) {
    return QColor::fromRgbF(1, 1, 1, float(opacity));
}
QColor black(double opacity) {
    return QColor::fromRgbF(0, 0, 0, float(opacity));
}

QPalette darkPalette() {
    QPalette palette;
    const auto set = [&palette](QPalette::ColorRole role, const QColor& colour) {
        palette.setColor(QPalette::All, role, colour);
    };
    set(QPalette::Window, AppTheme::background());
    set(QPalette::WindowText, AppTheme::textPrimary());
    set(QPalette::Base, AppTheme::panel());
    set(QPalette::AlternateBase, AppTheme::panelRaised());
    set(QPalette::Text, AppTheme::textPrimary());
    set(QPalette::PlaceholderText, AppTheme::textTertiary());
    set(QPalette::Button, AppTheme::control());
    set(QPalette::ButtonText, AppTheme::textPrimary());
    set(QPalette::BrightText, AppTheme::textPrimary());
    set(QPalette::ToolTipBase, AppTheme::control());
    set(QPalette::ToolTipText, AppTheme::textPrimary());
    set(QPalette::Highlight, AppTheme::accentSoft());
    set(QPalette::HighlightedText, AppTheme::textPrimary());
    set(QPalette::Link, AppTheme::accent());
    set(QPalette::LinkVisited, AppTheme::accent());
    set(QPalette::Light, AppTheme::control().lighter(130));
    set(QPalette::Midlight, AppTheme::control().lighter(115));
    set(QPalette::Mid, AppTheme::panelRaised());
    set(QPalette::Dark, AppTheme::panel());
    set(QPalette::Shadow, AppTheme::background().darker(150));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, AppTheme::textTertiary());
    }
    return palette;
}

} // namespace

namespace AppTheme {
// clang-format off
const QColor& background()    { static const QColor c = srgb(0.05, 0.056, 0.066); return c; }
const QColor& panel()         { static const QColor c = srgb(0.078, 0.088, 0.104); return c; }
const QColor& panelRaised()   { static const QColor c = srgb(0.096, 0.108, 0.126); return c; }
const QColor& row()           { static const QColor c = white(0.05); return c; }
const QColor& control()       { static const QColor c = srgb(0.115, 0.132, 0.154); return c; }
const QColor& border()        { static const QColor c = white(0.105); return c; }
const QColor& borderStrong()  { static const QColor c = white(0.165); return c; }
const QColor& accent()        { static const QColor c = srgb(0.45, 0.70, 0.96); return c; }
const QColor& accentSoft()    { static const QColor c = srgb(0.24, 0.36, 0.56); return c; }
const QColor& textPrimary()   { static const QColor c = white(0.96); return c; }
const QColor& textSecondary() { static const QColor c = white(0.74); return c; }
const QColor& textTertiary()  { static const QColor c = white(0.58); return c; }
const QColor& success()       { static const QColor c = srgb(0.34, 0.82, 0.58); return c; }
const QColor& warning()       { static const QColor c = srgb(0.95, 0.67, 0.30); return c; }
const QColor& shadow()        { static const QColor c = black(0.16); return c; }
// clang-format on
} // namespace AppTheme

QColor withOpacity(QColor colour, double opacity) {
    colour.setAlphaF(float(colour.alphaF() * opacity));
    return colour;
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette colours = widget->palette();
    colours.setColor(QPalette::WindowText, colour);
    colours.setColor(QPalette::Text, colour);
    widget->setPalette(colours);
}

QLabel* themedLabel(const QString& text, const QFont& font, const QColor& colour) {
    auto* label = new QLabel(text);
    label->setFont(font);
    setTextColour(label, colour);
    return label;
}

void applyAppTheme() {
    QApplication::setStyle(new AppStyle);
    QApplication::setPalette(darkPalette());
    QApplication::setFont(textFont(TextStyle::Body));
    new FocusRing(qApp);
}

} // namespace tarsik
