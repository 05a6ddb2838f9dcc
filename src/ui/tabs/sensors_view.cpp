#include "ui/tabs/sensors_view.h"

#include "model/sensor_kind.h"
#include "store/gpu_store.h"
#include "texts/sensor_debug_text.h"
#include "ui/kit/accessibility.h"
#include "ui/kit/app_theme.h"
#include "ui/kit/fitting_label.h"
#include "ui/kit/text_styles.h"
#include "ui/tabs/sensor_row.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QWindow>
#include <algorithm>
#include <utility>

namespace tarsik {
namespace {

// Below this many readings the tab says that nothing updates by itself.
constexpr std::size_t manualRefreshHintBelow = 8;

QWidget* moreReadingsHeading() {
    auto* heading = new FittingLabel(QStringLiteral("More readings"), {.font = textFont(TextStyle::Headline),
                                                                       .colour = AppTheme::textSecondary()});
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
    live_ = new QCheckBox(QStringLiteral("Live"));
    live_->setObjectName(QStringLiteral("liveToggle"));
    live_->setFont(textFont(TextStyle::Callout));
    live_->setToolTip(QStringLiteral(
        "Reads the selected GPU's sensors every second while this tab is shown. Reading an awake GPU "
        "every second keeps its driver from suspending it to save power."));
    connect(live_, &QCheckBox::toggled, this, [this] {
        updateLive();
        updateManualRefreshHint();
    });

    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    header->addWidget(title, 0, Qt::AlignVCenter);
    header->addSpacing(6);
    header->addStretch(1);
    header->addWidget(copy, 0, Qt::AlignVCenter);
    header->addWidget(manualRefreshOnly_, 0, Qt::AlignVCenter);
    header->addWidget(live_, 0, Qt::AlignVCenter);

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

    connect(&store_, &GPUStore::sensorsChanged, this, &SensorsView::showReadings);
    rebuildRows();
}

void SensorsView::showReadings() {
    const auto& sensors = store_.sensors();
    const bool sameSensors =
        sensors.size() == rowWidgets_.size() &&
        std::equal(sensors.begin(), sensors.end(), rowWidgets_.begin(),
                   [](const SensorReading& sensor, const SensorRow* row) { return row->shows(sensor); });
    if (!sameSensors) {
        rebuildRows();
        return;
    }
    for (std::size_t i = 0; i < sensors.size(); ++i) {
        rowWidgets_[i]->showReading(sensors[i], store_.historyOf(sensors[i]));
    }
}

void SensorsView::rebuildRows() {
    while (auto* item = rows_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    rowWidgets_.clear();
    // The readings a driver offers beyond the canonical ones follow them under a heading of their own.
    bool headed = false;
    for (const auto& sensor : store_.sensors()) {
        if (isMoreReading(sensor) && !std::exchange(headed, true)) {
            rows_->addWidget(moreReadingsHeading());
        }
        auto* row = new SensorRow(sensor);
        row->showReading(sensor, store_.historyOf(sensor));
        rows_->addWidget(row);
        rowWidgets_.push_back(row);
    }
    rows_->addStretch(1);
    updateManualRefreshHint();
}

// The hint counts only the canonical readings, and says nothing while Live reads them.
void SensorsView::updateManualRefreshHint() {
    const auto canonicalRows =
        std::count_if(store_.sensors().begin(), store_.sensors().end(),
                      [](const SensorReading& sensor) { return !isMoreReading(sensor); });
    manualRefreshOnly_->setVisible(!live_->isChecked() &&
                                   static_cast<std::size_t>(canonicalRows) < manualRefreshHintBelow);
}

void SensorsView::updateLive() {
    const bool seen = isVisible() && !window()->isMinimized();
    store_.setLiveSensors(this, live_->isChecked() && seen);
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
    // Minimising and restoring reach the window, not this tab.
    window()->installEventFilter(this);
    updateLive();
}

void SensorsView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    updateLive();
}

bool SensorsView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window() && event->type() == QEvent::WindowStateChange) {
        updateLive();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tarsik
