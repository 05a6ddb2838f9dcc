#include "ui/kit/text_fit.h"

#include "ui/kit/text_styles.h"

#include <QFontMetricsF>
#include <QTextLayout>
#include <limits>

namespace tarsik {
namespace {

constexpr double scaleStep = 0.02;

struct Wrapped {
    int lines = 0;
    int keptLineStart = 0; // where line number `keep` (counted from 1) starts
};

Wrapped wrap(const QString& text, const QFont& font, double width, int keep) {
    Wrapped result;
    int offset = 0;
    for (const auto& paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
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

QFont scaledFont(const QFont& font, double scale) {
    return withPoints(font, fontPoints(font) * scale);
}

FittedText fitText(const QString& text, const QFont& font, double width, int maxLines, double minScale) {
    const double available = std::max(1.0, width);
    const int limit = maxLines > 0 ? maxLines : std::numeric_limits<int>::max();
    double scale = 1.0;
    while (true) {
        const QFont scaled = scaledFont(font, scale);
        const Wrapped wrapped = wrap(text, scaled, available, limit);
        const bool fits = maxLines == 1 ? QFontMetricsF(scaled).horizontalAdvance(text) <= available
                                        : wrapped.lines <= limit;
        if (fits) {
            return FittedText{.scale = scale, .text = text, .lines = std::max(1, wrapped.lines)};
        }
        if (scale - scaleStep < minScale - 1e-9) {
            // Still too long at the smallest size: keep the leading lines, cut the last one.
            const int cut = maxLines == 1 ? 0 : wrapped.keptLineStart;
            QString head = text.left(cut);
            if (head.endsWith(QLatin1Char(' ')) || head.endsWith(QLatin1Char('\n'))) {
                head.chop(1);
            }
            QString tail = text.mid(cut);
            tail.replace(QLatin1Char('\n'), QLatin1Char(' '));
            const QString elided = QFontMetricsF(scaled).elidedText(tail, Qt::ElideRight, available);
            return FittedText{.scale = scale,
                              .text = head.isEmpty() ? elided : head + QLatin1Char('\n') + elided,
                              .lines = limit,
                              .elided = true};
        }
        scale = std::max(minScale, scale - scaleStep);
    }
}

} // namespace tarsik
