#pragma once

#include <QWidget>
#include <optional>

namespace tarsik {

// Fills its area with the window background, and draws on it the shadows its panels cast, which
// fall outside the panels themselves. Dragging the background moves the window.
class MetallicBackgroundView : public QWidget {
    Q_OBJECT

  public:
    explicit MetallicBackgroundView(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // Where a drag of the background began, on the screen, and where the window was then.
    std::optional<QPointF> dragStart_;
    QPoint windowAtDragStart_;
};

// A widget drawn on the panel background: the panel fill, a 1-point accent line along the top
// edge and a 1-point outline inside the bounds. The window background below draws its shadow.
class MetallicPanel : public QWidget {
    Q_OBJECT

  public:
    explicit MetallicPanel(QWidget* parent = nullptr);

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
