#pragma once

#include <QPolygonF>
#include <QWidget>
#include <vector>

namespace tarsik {

// A small line chart of a value's recent past: time runs left to right over `spanSeconds`, ending
// now at the right edge, and the values fill the height between their lowest and highest. Points
// further apart than `joinWithinSeconds` are not joined, so a pause shows as a gap and a lone
// point as a dot. It repaints only when what it draws moves by a pixel.
class HistoryChart : public QWidget {
    Q_OBJECT

  public:
    struct Point {
        double secondsAgo;
        double value;
    };

    HistoryChart(double spanSeconds, double joinWithinSeconds, QWidget* parent = nullptr);

    // Oldest first.
    void setPoints(std::vector<Point> points);
    // The strokes as drawn at the current size, each a run of joined points.
    const std::vector<QPolygonF>& strokes() const { return strokes_; }

    // About a pixel a second over minutes; narrower where the row needs the room.
    QSize sizeHint() const override { return {240, 22}; }
    QSize minimumSizeHint() const override { return {80, 22}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    std::vector<QPolygonF> layOut() const;
    void relayOut();

    double spanSeconds_;
    double joinWithinSeconds_;
    std::vector<Point> points_;
    std::vector<QPolygonF> strokes_;
};

} // namespace tarsik
