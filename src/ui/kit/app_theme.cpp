#include "ui/kit/app_theme.h"

#include "ui/kit/text_styles.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QStyleFactory>
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

QString css(const QColor& colour) {
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue())
        .arg(colour.alpha());
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

// Square corners everywhere; the bordered push button is the small secondary button of the tabs.
QString styleSheet() {
    return QStringLiteral(R"(
QToolTip { color: %1; background-color: %2; border: 1px solid %3; padding: 4px; }
QPushButton { color: %1; background-color: %2; border: 1px solid %3; border-radius: 0px; padding: 3px 9px; }
QPushButton:pressed { background-color: %4; }
QPushButton:disabled { color: %5; }
QLineEdit { color: %1; background-color: %2; border: 1px solid %3; border-radius: 0px; padding: 4px 6px;
            selection-background-color: %4; }
QLineEdit:focus { border: 1px solid %6; }
QScrollArea { background: transparent; border: none; }
QScrollBar:vertical { background: transparent; width: 10px; margin: 0px; }
QScrollBar:horizontal { background: transparent; height: 10px; margin: 0px; }
QScrollBar::handle:vertical { background: %7; min-height: 24px; margin: 2px; }
QScrollBar::handle:horizontal { background: %7; min-width: 24px; margin: 2px; }
QScrollBar::add-line, QScrollBar::sub-line { width: 0px; height: 0px; }
QScrollBar::add-page, QScrollBar::sub-page { background: transparent; }
QMenu::separator { height: 1px; background: %7; margin: 4px 8px; }
)")
        .arg(css(AppTheme::textPrimary()), css(AppTheme::control()), css(AppTheme::border()),
             css(AppTheme::accentSoft()), css(AppTheme::textTertiary()),
             css(withOpacity(AppTheme::accent(), 0.7)), css(white(0.22)));
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

void applyAppTheme(QApplication& app) {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(darkPalette());
    QApplication::setFont(textFont(TextStyle::Body));
    app.setStyleSheet(styleSheet());
}

} // namespace tarsik
