#pragma once

#include <QFont>

namespace tarsik {

// The named text styles of the views, mapped onto one font scale. Sizes are in points of
// the layout (one point is one device-independent pixel at the usual 96 dpi).
enum class TextStyle { Title2, Title3, Headline, Subheadline, Body, Callout, Caption, Caption2 };

QFont textFont(TextStyle style);
QFont textFont(TextStyle style, QFont::Weight weight);
QFont systemFont(double points, QFont::Weight weight = QFont::Normal);
QFont monospacedFont(double points, QFont::Weight weight = QFont::Normal);

// The font's size in layout points, and a copy of it at another size.
double fontPoints(const QFont& font);
QFont withPoints(QFont font, double points);

} // namespace tarsik
