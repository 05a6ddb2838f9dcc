#pragma once

#include <QColor>
#include <QWidget>

namespace tarsik {

// A small filled square: the success colour while idle, the warning colour while refreshing.
class StatusSquare : public QWidget {
    Q_OBJECT

  public:
    StatusSquare(int side, QWidget* parent = nullptr);
    void setRefreshing(bool refreshing);
    const QColor& colour() const { return colour_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor colour_;
};

} // namespace tarsik
