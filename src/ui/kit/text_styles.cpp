#include "ui/kit/text_styles.h"

namespace tarsik {
namespace {

// Qt sizes fonts in typographic points (1/72 in), the layout in 1/96 in.
constexpr double layoutPointsPerFontPoint = 96.0 / 72.0;

struct StyleMetrics {
    double points;
    QFont::Weight weight;
};

StyleMetrics metrics(TextStyle style) {
    switch (style) {
    case TextStyle::Title2:
        return {19, QFont::Normal};
    case TextStyle::Title3:
        return {16, QFont::Normal};
    case TextStyle::Headline:
        return {13, QFont::DemiBold};
    case TextStyle::Subheadline:
        return {12, QFont::Normal};
    case TextStyle::Body:
        return {13, QFont::Normal};
    case TextStyle::Callout:
        return {12, QFont::Normal};
    case TextStyle::Caption:
        return {11, QFont::Normal};
    case TextStyle::Caption2:
        return {10, QFont::Normal};
    }
    return {13, QFont::Normal};
}

} // namespace

QFont textFont(TextStyle style) {
    return systemFont(metrics(style).points, metrics(style).weight);
}

QFont textFont(TextStyle style, QFont::Weight weight) {
    return systemFont(metrics(style).points, weight);
}

QFont systemFont(double points, QFont::Weight weight) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(weight);
    return withPoints(font, points);
}

QFont monospacedFont(double points, QFont::Weight weight) {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setWeight(weight);
    return withPoints(font, points);
}

double fontPoints(const QFont& font) {
    return font.pointSizeF() * layoutPointsPerFontPoint;
}

QFont withPoints(QFont font, double points) {
    font.setPointSizeF(points / layoutPointsPerFontPoint);
    return font;
}

} // namespace tarsik
