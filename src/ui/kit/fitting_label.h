#pragma once

#include "ui/kit/text_fit.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QLabel>

namespace tarsik {

// A label limited to `maxLines` lines (0: no limit) that, when its text does not fit the
// width, first shrinks its font down to `minScale` of the base size and only then cuts the
// last line with an ellipsis. A selectable label can be selected with the mouse, and copied
// with Ctrl+C or its right-click menu; it shows no text caret, since it cannot be edited.
class FittingLabel : public QLabel {
    Q_OBJECT

  public:
    struct Style {
        QFont font;
        QColor colour;
        int maxLines = 1;
        double minScale = 1.0;
        bool selectable = false;
    };

    FittingLabel(const QString& text, Style style, QWidget* parent = nullptr);

    // The width the label asks for, when not its text's natural width.
    void setIdealWidth(int width);
    const QString& fullText() const { return fullText_; }
    // Replaces the text and fits it again to the current width.
    void setFullText(const QString& text);
    // The font scale and cut in force for the current width.
    double appliedScale() const { return applied_.scale; }
    bool isElided() const { return applied_.elided; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    FittedText fit(int width) const;
    QFont fontAt(double scale) const;
    int heightOf(const FittedText& fitted) const;
    void apply(int width);
    void makeSelectable();

    QString fullText_;
    Style style_;
    int idealWidth_ = 0;
    FittedText applied_;
    // Layouts ask for the same widths again and again while they settle, and each fit lays the
    // text out anew: what a width gave is kept until the text changes.
    mutable QHash<int, FittedText> fits_;
    mutable int naturalWidth_ = -1;
};

} // namespace tarsik
