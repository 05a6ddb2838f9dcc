#pragma once

#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;

namespace tarsik {

// How a text fits a width within `maxLines` lines (0: no limit): at full size if it can, else at
// the largest font scale down to `minScale` that fits, else at `minScale` with its last kept line
// cut by an ellipsis. A one-line text does not wrap.
struct FittedText {
    double scale = 1.0;
    QString text;
    int lines = 1;
    bool elided = false;
};

FittedText fitText(const QString& text, const QFont& font, double width, int maxLines, double minScale);

// The height a fitted text takes when drawn by `drawFittedText`, in whole pixels.
int fittedHeight(const FittedText& fitted, const QFont& font);
// Draws a fitted text from the top left of `area`, broken into lines exactly as `fitText` broke it
// for the same width, one line spacing apart: within `fittedHeight`, however the lines round.
void drawFittedText(QPainter& painter, const QRectF& area, const FittedText& fitted, const QFont& font);

// `font` scaled, in layout points.
QFont scaledFont(const QFont& font, double scale);

} // namespace tarsik
