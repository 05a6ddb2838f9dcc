#pragma once

#include <QWidget>

namespace tarsik {

// Fills its area with the window background.
class MetallicBackgroundView : public QWidget {
    Q_OBJECT

  public:
    explicit MetallicBackgroundView(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// A widget drawn on the panel background: the panel fill, a 1-point accent line along the top
// edge, a 1-point outline inside the bounds and a soft shadow below. The shadow is drawn in a
// strip the panel keeps free at its bottom (`shadowExtent`), since a widget cannot paint
// outside itself.
class MetallicPanel : public QWidget {
    Q_OBJECT

  public:
    static constexpr int shadowExtent = 3;

    explicit MetallicPanel(QWidget* parent = nullptr);
    // The rectangle the panel itself occupies, above the shadow strip.
    QRect panelRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// Its content padded 12 on every side, on the panel background.
class GlassPanel : public MetallicPanel {
    Q_OBJECT

  public:
    explicit GlassPanel(QWidget* content, QWidget* parent = nullptr);
};

// A plain rectangle filled with `fill` and outlined 1 point inside its bounds: rows, chips, tiles.
class OutlinedBox : public QWidget {
    Q_OBJECT

  public:
    OutlinedBox(const QColor& fill, const QColor& outline, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor fill_;
    QColor outline_;
};

// A 1-point separator line.
class Divider : public QWidget {
    Q_OBJECT

  public:
    Divider(Qt::Orientation orientation, double opacity, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    double opacity_;
};

} // namespace tarsik
