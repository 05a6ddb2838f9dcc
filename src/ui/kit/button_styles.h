#pragma once

#include "ui/kit/text_fit.h"

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QVariantAnimation>

namespace tarsik {

// A button drawn as a square plate: its label (an optional symbol and a text) padded, on a fill,
// with a 1-point outline inside its bounds. While pressed it fades to a lower opacity with an
// ease-out animation of 0.08 s, and back when released.
class StyledButton : public QAbstractButton {
    Q_OBJECT

  public:
    static constexpr int pressAnimationMs = 80;

    struct Look {
        QFont font;
        QColor text;
        int paddingX = 0;
        int paddingY = 0;
        QColor fill;
        QColor outline;
        double pressedOpacity = 1.0;
        double symbolPoints = 0;
        int symbolFrame = 0;
        int spacing = 0;
        double minTextScale = 1.0;
    };

    StyledButton(QString symbol, const QString& text, QWidget* parent = nullptr);

    void setSymbol(const QString& symbol);
    // Width of the label (symbol and text) when fixed by the layout, 0 when it follows the text.
    void setLabelWidth(int width);
    void setMinimumLabelWidth(int width);
    double currentOpacity() const { return opacity_; }
    // The text as the label draws it at the current width.
    FittedText fittedText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    virtual Look look() const = 0;
    void paintEvent(QPaintEvent* event) override;

  private:
    void fadeTo(double opacity);
    QRect labelRect(const Look& current) const;
    int symbolWidth(const Look& current) const;
    FittedText fitLabelText(const Look& current) const;
    int naturalLabelWidth(const Look& current) const;
    int labelHeight(const Look& current) const;

    QString symbol_;
    int labelWidth_ = 0;
    int minimumLabelWidth_ = 0;
    double opacity_ = 1.0;
    QVariantAnimation fade_;
};

// The buttons of the tab bar; the selected tab's is active.
class GlassTabButton : public StyledButton {
    Q_OBJECT

  public:
    GlassTabButton(const QString& symbol, const QString& title, QWidget* parent = nullptr);

    void setActive(bool active);

  protected:
    Look look() const override;

  private:
    bool active_ = false;
};

// The header's action buttons; the primary one is filled with the soft accent.
class MetallicActionButton : public StyledButton {
    Q_OBJECT

  public:
    MetallicActionButton(const QString& symbol, const QString& text, bool primary, QWidget* parent = nullptr);

  protected:
    Look look() const override;

  private:
    bool primary_;
};

} // namespace tarsik
