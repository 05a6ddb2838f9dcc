#include "ui/kit/fitting_label.h"

#include "ui/kit/app_theme.h"
#include "ui/kit/text_styles.h"

#include <QResizeEvent>

namespace tarsik {

FittingLabel::FittingLabel(const QString& text, Style style, QWidget* parent)
    : QLabel(parent), fullText_(text), style_(std::move(style)) {
    setFont(style_.font);
    setTextColour(this, style_.colour);
    setWordWrap(style_.maxLines != 1);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (style_.selectable) {
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        setCursor(Qt::IBeamCursor);
    }
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setText(text);
}

void FittingLabel::setFullText(const QString& text) {
    if (text == fullText_) {
        return;
    }
    fullText_ = text;
    setText(text);
    updateGeometry();
    apply(width());
}

void FittingLabel::setIdealWidth(int width) {
    idealWidth_ = width;
    updateGeometry();
}

QFont FittingLabel::fontAt(double scale) const {
    return scaledFont(style_.font, scale);
}

FittedText FittingLabel::fit(int width) const {
    return fitText(fullText_, style_.font, width - contentsMargins().left() - contentsMargins().right(),
                   style_.maxLines, style_.minScale);
}

int FittingLabel::heightOf(const FittedText& fitted) const {
    const QFontMetrics metrics(fontAt(fitted.scale));
    return fitted.lines * metrics.lineSpacing() + contentsMargins().top() + contentsMargins().bottom();
}

int FittingLabel::heightForWidth(int width) const {
    return heightOf(fit(width));
}

QSize FittingLabel::sizeHint() const {
    const QFontMetrics metrics(style_.font);
    int natural = 0;
    for (const auto& line : fullText_.split(QLatin1Char('\n'))) {
        natural = std::max(natural, metrics.horizontalAdvance(line));
    }
    natural += contentsMargins().left() + contentsMargins().right() + 1;
    const int ideal = idealWidth_ > 0 ? idealWidth_ : natural;
    return {ideal, heightForWidth(ideal)};
}

QSize FittingLabel::minimumSizeHint() const {
    const int narrow =
        std::min(sizeHint().width(), QFontMetrics(style_.font).horizontalAdvance(QStringLiteral("Wi…")));
    return {narrow, heightForWidth(sizeHint().width())};
}

void FittingLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    apply(event->size().width());
}

void FittingLabel::apply(int width) {
    applied_ = fit(width);
    const QFont font = fontAt(applied_.scale);
    if (font != this->font()) {
        setFont(font);
    }
    if (text() != applied_.text) {
        setText(applied_.text);
    }
}

} // namespace tarsik
