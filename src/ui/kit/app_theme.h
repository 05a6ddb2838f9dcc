#pragma once

#include <QColor>

class QFont;
class QLabel;
class QString;
class QWidget;

namespace tarsik {

// The fixed dark palette of every window. Each colour is built once, on first use.
namespace AppTheme {
const QColor& background();
const QColor& panel();
const QColor& panelRaised();
const QColor& row();
const QColor& control();
const QColor& border();
const QColor& borderStrong();
const QColor& accent();
const QColor& accentSoft();
const QColor& textPrimary();
const QColor& textSecondary();
const QColor& textTertiary();
const QColor& success();
const QColor& warning();
const QColor& shadow();
} // namespace AppTheme

// `colour` with its alpha multiplied by `opacity`.
QColor withOpacity(QColor colour, double opacity);

// Sets the colour a label or text view draws its text in.
void setTextColour(QWidget* widget, const QColor& colour);

// A plain label in `font` and `colour`.
QLabel* themedLabel(const QString& text, const QFont& font, const QColor& colour);

// Forces the dark scheme on the whole application whatever the desktop uses: its own style,
// palette (no desktop accent or highlight survives), default font and the keyboard focus ring.
void applyAppTheme();

} // namespace tarsik
