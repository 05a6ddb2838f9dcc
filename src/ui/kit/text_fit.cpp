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
    // Each candidate scale is measured as the font engine will draw it: a scaled size can round
    // to the same pixel size as the one before, so one computed factor is not enough.
    for (double scale = 1.0;; scale = std::max(minScale, scale - scaleStep)) {
        const QFont scaled = scaledFont(font, scale);
        const bool last = scale - scaleStep < minScale - 1e-9;
        if (maxLines == 1) {
            if (QFontMetricsF(scaled).horizontalAdvance(text) <= available) {
                return FittedText{.scale = scale, .text = text};
            }
            if (last) {
                return FittedText{.scale = scale,
                                  .text = QFontMetricsF(scaled).elidedText(text, Qt::ElideRight, available),
                                  .elided = true};
            }
            continue;
        }
        const Wrapped wrapped = wrap(text, scaled, available, limit);
        if (wrapped.lines <= limit) {
            return FittedText{.scale = scale, .text = text, .lines = std::max(1, wrapped.lines)};
        }
        if (last) {
            // Still too long at the smallest size: keep the leading lines, cut the last one.
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
    }
}

} // namespace tarsik
