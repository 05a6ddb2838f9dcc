#include "ui/kit/fitting_label.h"

#include "ui/kit/app_theme.h"
#include "ui/kit/text_styles.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
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
    fits_.clear();
    naturalWidth_ = -1;
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
    const int room = width - contentsMargins().left() - contentsMargins().right();
    if (const auto known = fits_.constFind(room); known != fits_.cend()) {
        return *known;
    }
    if (fits_.size() >= 64) {
        fits_.clear();
    }
    return *fits_.insert(room, fitText(fullText_, style_.font, room, style_.maxLines, style_.minScale));
}

int FittingLabel::heightOf(const FittedText& fitted) const {
    const QFontMetrics metrics(fontAt(fitted.scale));
    return fitted.lines * metrics.lineSpacing() + contentsMargins().top() + contentsMargins().bottom();
}

int FittingLabel::heightForWidth(int width) const {
    return heightOf(fit(width));
}

QSize FittingLabel::sizeHint() const {
    if (naturalWidth_ < 0) {
        const QFontMetrics metrics(style_.font);
        naturalWidth_ = 0;
        for (const auto& line : fullText_.split(QLatin1Char('\n'))) {
            naturalWidth_ = std::max(naturalWidth_, metrics.horizontalAdvance(line));
        }
    }
    const int natural = naturalWidth_ + contentsMargins().left() + contentsMargins().right() + 1;
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

void FittingLabel::enterEvent(QEnterEvent* event) {
    makeSelectable();
    QLabel::enterEvent(event);
}

void FittingLabel::mousePressEvent(QMouseEvent* event) {
    makeSelectable();
    QLabel::mousePressEvent(event);
}

// Copies what is selected, or the whole value when nothing is.
void FittingLabel::contextMenuEvent(QContextMenuEvent* event) {
    if (!style_.selectable) {
        QLabel::contextMenuEvent(event);
        return;
    }
    QMenu menu(this);
    menu.addAction(QStringLiteral("Copy"), this, [this] {
        QApplication::clipboard()->setText(hasSelectedText() ? selectedText() : fullText_);
    });
    menu.exec(event->globalPos());
}

// Selection needs a text document behind the label, which costs more than the label itself; it
// is made when the pointer first comes (always before a click), not for every value of a card
// nobody selects. A click then gives the label focus, so Ctrl+C copies; selecting by keyboard
// would show an editing caret in a value nobody can edit.
void FittingLabel::makeSelectable() {
    if (style_.selectable && !(textInteractionFlags() & Qt::TextSelectableByMouse)) {
        setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
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
