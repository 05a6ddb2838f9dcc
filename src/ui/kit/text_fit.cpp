#include "ui/kit/text_fit.h"

#include "ui/kit/text_styles.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <cmath>
#include <limits>
#include <vector>

namespace tarsik {
namespace {

constexpr double scaleStep = 0.02;

struct Wrapped {
    int lines = 0;
    int keptLineStart = 0; // where line number `keep` (counted from 1) starts
};

// Lines break between words, and inside a word only when it is longer than a line.
void prepare(QTextLayout& layout) {
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
}

Wrapped wrap(const QString& text, const QFont& font, double width, int keep) {
    Wrapped result;
    int offset = 0;
    for (const auto& paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        prepare(layout);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            if (result.lines == keep - 1) {
                result.keptLineStart = offset + line.textStart();
            }
            ++result.lines;
        }
        layout.endLayout();
        offset += int(paragraph.size()) + 1;
    }
    return result;
}

} // namespace

int fittedHeight(const FittedText& fitted, const QFont& font) {
    return int(std::ceil(fitted.lines * QFontMetricsF(scaledFont(font, fitted.scale)).lineSpacing()));
}

void drawFittedText(QPainter& painter, const QRectF& area, const FittedText& fitted, const QFont& font) {
    const QFont scaled = scaledFont(font, fitted.scale);
    const double lineSpacing = QFontMetricsF(scaled).lineSpacing();
    // A one-line text was fitted (or cut) to the width already: it is drawn whole.
    const double width =
        fitted.lines == 1 ? std::max(area.width(), QFontMetricsF(scaled).horizontalAdvance(fitted.text) + 1)
                          : std::max(1.0, area.width());
    double y = area.top();
    for (const auto& paragraph : fitted.text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, scaled);
        prepare(layout);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, y - area.top()));
            y += lineSpacing;
        }
        layout.endLayout();
        layout.draw(&painter, area.topLeft());
    }
}

QFont scaledFont(const QFont& font, double scale) {
    return withPoints(font, fontPoints(font) * scale);
}

FittedText fitText(const QString& text, const QFont& font, double width, int maxLines, double minScale) {
    const double available = std::max(1.0, width);
    const int limit = maxLines > 0 ? maxLines : std::numeric_limits<int>::max();
    // The scales tried, from full size down in steps to exactly `minScale`. Each is measured as
    // the font engine will draw it: a scaled size can round to the same pixel size as the one
    // before, so one computed factor is not enough.
    std::vector<double> scales{1.0};
    while (scales.back() - scaleStep >= minScale - 1e-9) {
        scales.push_back(scales.back() - scaleStep);
    }
    if (scales.back() > minScale + 1e-9) {
        scales.push_back(minScale);
    }
    // Lines needed at each scale tried (a one-line text that overflows counts as two).
    std::vector<int> lines(scales.size(), 0);
    const auto fitsAt = [&](std::size_t index) {
        if (lines[index] == 0) {
            const QFont scaled = scaledFont(font, scales[index]);
            lines[index] = maxLines == 1
                               ? (QFontMetricsF(scaled).horizontalAdvance(text) <= available ? 1 : 2)
                               : std::max(1, wrap(text, scaled, available, limit).lines);
        }
        return lines[index] <= limit;
    };
    // A smaller font never needs more room, so the largest scale that fits is found by halving
    // the steps: each size tried costs a font engine of its own, and most texts fit at once.
    std::size_t lo = 0;
    std::size_t hi = scales.size();
    if (!fitsAt(0)) {
        lo = 1;
        while (lo < hi) {
            const std::size_t mid = (lo + hi) / 2;
            if (fitsAt(mid)) {
                hi = mid;
            } else {
                lo = mid + 1;
            }
        }
    }
    if (lo < scales.size()) {
        return FittedText{.scale = scales[lo], .text = text, .lines = lines[lo]};
    }
    const double scale = scales.back();
    const QFont scaled = scaledFont(font, scale);
    if (maxLines == 1) {
        return FittedText{.scale = scale,
                          .text = QFontMetricsF(scaled).elidedText(text, Qt::ElideRight, available),
                          .elided = true};
    }
    // Still too long at the smallest size: keep the leading lines, cut the last one.
    const Wrapped wrapped = wrap(text, scaled, available, limit);
    QString head = text.left(wrapped.keptLineStart);
    if (head.endsWith(QLatin1Char(' ')) || head.endsWith(QLatin1Char('\n'))) {
        head.chop(1);
    }
    QString tail = text.mid(wrapped.keptLineStart);
    tail.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString elided = QFontMetricsF(scaled).elidedText(tail, Qt::ElideRight, available);
    return FittedText{.scale = scale,
                      .text = head.isEmpty() ? elided : head + QLatin1Char('\n') + elided,
                      .lines = limit,
                      .elided = true};
}

} // namespace tarsik
