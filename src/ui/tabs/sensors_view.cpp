#include "ui/tabs/sensors_view.h"

#include "model/sensor_kind.h"
#include "store/gpu_store.h"
#include "texts/sensor_debug_text.h"
#include "ui/kit/accessibility.h"
#include "ui/kit/app_theme.h"
#include "ui/kit/fitting_label.h"
#include "ui/kit/panels.h"
#include "ui/kit/symbols.h"
#include "ui/kit/text_styles.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <utility>

namespace tarsik {
namespace {

// Below this many readings the tab says that nothing updates by itself.
constexpr std::size_t manualRefreshHintBelow = 8;

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

QWidget* sensorRow(const SensorReading& sensor) {
    auto* row = new OutlinedBox(AppTheme::row(), AppTheme::border());
    row->setObjectName(QStringLiteral("sensorRow"));
    setAccessibleRole(row, QAccessible::ListItem);
    row->setAccessibleName(qt(sensor.name + ": " + sensor.value + " " + sensor.unit).trimmed());
    auto* name = new FittingLabel(qt(sensor.name), {.font = textFont(TextStyle::Body),
                                                    .colour = AppTheme::textSecondary(),
                                                    .maxLines = 2,
                                                    .minScale = 0.8});
    name->setMinimumWidth(96);
    name->setIdealWidth(132);
    name->setMaximumWidth(160);
    auto* value = new FittingLabel(qt(sensor.value), {.font = monospacedFont(13),
                                                      .colour = AppTheme::textPrimary(),
                                                      .maxLines = 2,
                                                      .minScale = 0.82,
                                                      .selectable = true});
    value->setObjectName(QStringLiteral("sensorValue"));
    auto* unit = new FittingLabel(qt(sensor.unit), {.font = textFont(TextStyle::Body),
                                                    .colour = AppTheme::textSecondary(),
                                                    .maxLines = 1,
                                                    .minScale = 0.78});

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(10);
    layout->addWidget(name, 0, Qt::AlignTop);
    layout->addWidget(value, 0, Qt::AlignTop);
    layout->addWidget(unit, 0, Qt::AlignTop);
    layout->addStretch(1);
    if (!sensor.note.empty()) {
        auto* info = new SymbolView(QStringLiteral("info.circle"), 14, withOpacity(AppTheme::accent(), 0.78));
        info->setObjectName(QStringLiteral("sensorNote"));
        info->setToolTip(qt(sensor.note));
        layout->addWidget(info, 0, Qt::AlignTop);
    }
    return row;
}

QWidget* moreReadingsHeading() {
    auto* heading = new FittingLabel(QStringLiteral("More readings"),
                                     {.font = textFont(TextStyle::Headline), .colour = AppTheme::textSecondary()});
    heading->setObjectName(QStringLiteral("moreReadingsHeading"));
    heading->setContentsMargins(0, 6, 0, 0);
    return heading;
}

} // namespace

SensorsView::SensorsView(GPUStore& store, QWidget* parent) : QWidget(parent), store_(store) {
    auto* title =
        new FittingLabel(QStringLiteral("Sensors"), {.font = textFont(TextStyle::Title3, QFont::Bold),
                                                     .colour = AppTheme::textPrimary()});
    auto* copy = new QPushButton(QStringLiteral("Copy Sensor Debug"));
    copy->setFont(textFont(TextStyle::Callout));
    connect(copy, &QPushButton::clicked, this, &SensorsView::copySensorDebug);
    manualRefreshOnly_ = new QLabel(QStringLiteral("Manual refresh only"));
    manualRefreshOnly_->setFont(textFont(TextStyle::Caption));
    setTextColour(manualRefreshOnly_, AppTheme::textTertiary());

    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    header->addWidget(title, 0, Qt::AlignVCenter);
    header->addSpacing(6);
    header->addStretch(1);
    header->addWidget(copy, 0, Qt::AlignVCenter);
    header->addWidget(manualRefreshOnly_, 0, Qt::AlignVCenter);

    auto* list = new QWidget;
    rows_ = new QVBoxLayout(list);
    rows_->setContentsMargins(0, 1, 0, 1);
    rows_->setSpacing(8);
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(list);
    setAccessibleRole(scroll, QAccessible::List);
    scroll->setAccessibleName(QStringLiteral("Sensor readings"));

    auto* note = new QLabel(QStringLiteral(
        "Note: GPU readings are discovered dynamically through SMC first and then IORegistry. Only sensors "
        "exposed by the installed kexts/drivers are shown; no extra permissions are requested."));
    note->setWordWrap(true);
    note->setFont(textFont(TextStyle::Caption));
    setTextColour(note, AppTheme::textTertiary());

    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(10);
    stack->addLayout(header);
    stack->addWidget(scroll, 1);
    stack->addWidget(note);

    connect(&store_, &GPUStore::sensorsChanged, this, &SensorsView::rebuildRows);
    rebuildRows();
}

void SensorsView::rebuildRows() {
    while (auto* item = rows_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    // The readings a driver offers beyond the canonical ones follow them under a heading of their
    // own; the hint counts only the canonical list.
    std::size_t canonicalRows = 0;
    bool headed = false;
    for (const auto& sensor : store_.sensors()) {
        if (!isMoreReading(sensor)) {
            ++canonicalRows;
        } else if (!std::exchange(headed, true)) {
            rows_->addWidget(moreReadingsHeading());
        }
        rows_->addWidget(sensorRow(sensor));
    }
    rows_->addStretch(1);
    manualRefreshOnly_->setVisible(canonicalRows < manualRefreshHintBelow);
}

void SensorsView::copySensorDebug() {
    QApplication::clipboard()->setText(QString::fromStdString(sensorDebugText(store_.sensors())));
}

// Only the first appearance in the process counts; the store keeps that flag.
void SensorsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        store_.requestDynamicSensors();
    }
}

} // namespace tarsik
