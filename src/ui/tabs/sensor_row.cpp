#include "ui/tabs/sensor_row.h"

#include "ui/kit/accessibility.h"
#include "ui/kit/app_theme.h"
#include "ui/kit/fitting_label.h"
#include "ui/kit/history_chart.h"
#include "ui/kit/symbols.h"
#include "ui/kit/text_styles.h"

#include <QHBoxLayout>
#include <algorithm>

namespace tarsik {
namespace {

// A pause longer than this (Live paused, a GPU asleep, refreshes by hand) leaves a gap.
constexpr double joinWithinSeconds = 3.0;

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

QString accessibleText(const SensorReading& sensor) {
    return qt(sensor.name + ": " + sensor.value + " " + sensor.unit).trimmed();
}

QString rangeText(const std::vector<const HistoryPoint*>& points) {
    const auto [lowest, highest] = std::minmax_element(
        points.begin(), points.end(), [](const auto* a, const auto* b) { return a->value < b->value; });
    return QStringLiteral("Last %1 minutes: lowest %2, highest %3")
        .arg(SensorHistory::span.count())
        .arg(qt((*lowest)->shown), qt((*highest)->shown));
}

} // namespace

SensorRow::SensorRow(const SensorReading& sensor, QWidget* parent)
    : OutlinedBox(AppTheme::row(), AppTheme::border(), parent), sensor_(sensor) {
    setObjectName(QStringLiteral("sensorRow"));
    setAccessibleRole(this, QAccessible::ListItem);
    setAccessibleName(accessibleText(sensor));
    auto* name = new FittingLabel(qt(sensor.name), {.font = textFont(TextStyle::Body),
                                                    .colour = AppTheme::textSecondary(),
                                                    .maxLines = 2,
                                                    .minScale = 0.8});
    name->setMinimumWidth(96);
    name->setIdealWidth(132);
    name->setMaximumWidth(160);
    value_ = new FittingLabel(qt(sensor.value), {.font = monospacedFont(13),
                                                 .colour = AppTheme::textPrimary(),
                                                 .maxLines = 2,
                                                 .minScale = 0.82,
                                                 .selectable = true});
    value_->setObjectName(QStringLiteral("sensorValue"));
    unit_ = new FittingLabel(qt(sensor.unit), {.font = textFont(TextStyle::Body),
                                               .colour = AppTheme::textSecondary(),
                                               .maxLines = 1,
                                               .minScale = 0.78});
    chart_ = new HistoryChart(std::chrono::duration<double>(SensorHistory::span).count(), joinWithinSeconds);
    chart_->setObjectName(QStringLiteral("sensorHistory"));
    setAccessibleRole(chart_, QAccessible::Chart);
    chart_->setAccessibleName(qt(sensor.name + " history"));
    chart_->hide();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(10);
    layout->addWidget(name, 0, Qt::AlignTop);
    layout->addWidget(value_, 0, Qt::AlignTop);
    layout->addWidget(unit_, 0, Qt::AlignTop);
    layout->addStretch(1);
    if (!sensor.note.empty()) {
        auto* info = new SymbolView(QStringLiteral("info.circle"), 14, withOpacity(AppTheme::accent(), 0.78));
        info->setObjectName(QStringLiteral("sensorNote"));
        info->setToolTip(qt(sensor.note));
        layout->addWidget(info, 0, Qt::AlignTop);
    }
    layout->addWidget(chart_, 0, Qt::AlignVCenter);
}

bool SensorRow::shows(const SensorReading& sensor) const {
    const auto kind = [](const SensorReading& reading) {
        return reading.measurement ? reading.measurement->kind : std::string();
    };
    return sensor.name == sensor_.name && kind(sensor) == kind(sensor_) &&
           sensor.note.empty() == sensor_.note.empty();
}

void SensorRow::showReading(const SensorReading& sensor, const std::deque<HistoryPoint>* history) {
    if (sensor.value != sensor_.value || sensor.unit != sensor_.unit) {
        value_->setFullText(qt(sensor.value));
        unit_->setFullText(qt(sensor.unit));
        setAccessibleName(accessibleText(sensor));
    }
    if (sensor.note != sensor_.note) {
        if (auto* info = findChild<QWidget*>(QStringLiteral("sensorNote"))) {
            info->setToolTip(qt(sensor.note));
        }
    }
    sensor_ = sensor;
    // A GPU not read for a while keeps points older than the chart's span until its next read.
    const auto now = std::chrono::steady_clock::now();
    std::vector<const HistoryPoint*> recent;
    if (history != nullptr) {
        for (const auto& point : *history) {
            if (now - point.at <= SensorHistory::span) {
                recent.push_back(&point);
            }
        }
    }
    if (recent.size() < 2) {
        chart_->hide();
        return;
    }
    std::vector<HistoryChart::Point> points;
    points.reserve(recent.size());
    for (const auto* point : recent) {
        points.push_back({std::chrono::duration<double>(now - point->at).count(), point->value});
    }
    chart_->setPoints(std::move(points));
    const auto range = rangeText(recent);
    if (chart_->toolTip() != range) {
        chart_->setToolTip(range);
        chart_->setAccessibleDescription(range);
    }
    chart_->show();
}

} // namespace tarsik
