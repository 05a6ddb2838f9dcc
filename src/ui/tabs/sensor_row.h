#pragma once

#include "model/sensor_reading.h"
#include "store/sensor_history.h"
#include "ui/kit/panels.h"

#include <deque>

namespace tarsik {

class FittingLabel;
class HistoryChart;

// One reading of the Sensors tab: name, value, unit and the note's info icon, then a small chart
// of the reading's recent values once it has two, its lowest and highest on hover.
class SensorRow : public OutlinedBox {
    Q_OBJECT

  public:
    explicit SensorRow(const SensorReading& sensor, QWidget* parent = nullptr);

    // Whether `sensor` is a later reading of the one shown, which the row can show in place.
    bool shows(const SensorReading& sensor) const;
    // Shows a later reading and its history. What is unchanged is left alone, so it does not repaint.
    void showReading(const SensorReading& sensor, const std::deque<HistoryPoint>* history);

  private:
    SensorReading sensor_;
    FittingLabel* value_;
    FittingLabel* unit_;
    HistoryChart* chart_;
};

} // namespace tarsik
