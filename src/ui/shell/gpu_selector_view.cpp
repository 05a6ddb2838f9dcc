#include "ui/shell/gpu_selector_view.h"

#include "store/gpu_store.h"
#include "ui/kit/app_theme.h"
#include "ui/kit/fitting_label.h"
#include "ui/kit/text_styles.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <algorithm>

namespace tarsik {
namespace {

// At least 150 and at most 320 wide, 220 when room is short; it takes the room it is given
// before the spacer beside it does.
class GPUPicker : public QComboBox {
    Q_OBJECT

  public:
    GPUPicker() {
        setMinimumWidth(150);
        setMaximumWidth(320);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    QSize sizeHint() const override { return {220, QComboBox::sizeHint().height()}; }
    QSize minimumSizeHint() const override { return {150, QComboBox::minimumSizeHint().height()}; }
};

QString shortSlot(const std::string& slot) {
    const auto text = QString::fromStdString(slot);
    return text.startsWith(QStringLiteral("0000:")) ? text.mid(5) : text;
}

} // namespace

QStringList pickerEntries(const std::vector<GPUDevice>& devices) {
    QStringList entries;
    for (const auto& device : devices) {
        const auto twins = std::count_if(devices.begin(), devices.end(),
                                         [&](const GPUDevice& other) { return other.name == device.name; });
        QString entry = QString::fromStdString(device.name);
        if (const auto* slot = pciSlotOf(device); twins > 1 && slot != nullptr) {
            entry += QStringLiteral(" \u00B7 ") + shortSlot(*slot);
        }
        entries.append(entry);
    }
    return entries;
}

GPUSelectorView::GPUSelectorView(GPUStore& store, QWidget* parent)
    : OutlinedBox(AppTheme::panelRaised(), AppTheme::border(), parent), store_(store),
      picker_(new GPUPicker) {
    auto* label = new FittingLabel("Active GPU", {.font = textFont(TextStyle::Subheadline, QFont::DemiBold),
                                                  .colour = AppTheme::textSecondary(),
                                                  .minScale = 0.82});
    label->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    picker_->setAccessibleName("GPU");

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 6, 12, 6);
    row->setSpacing(8);
    row->addWidget(label, 0, Qt::AlignVCenter);
    row->addWidget(picker_, 1, Qt::AlignVCenter);
    row->addStretch();

    connect(picker_, &QComboBox::activated, this, [this](int index) {
        const auto& devices = store_.devices();
        if (index >= 0 && static_cast<std::size_t>(index) < devices.size()) {
            const UUID id = devices[static_cast<std::size_t>(index)].id;
            store_.selectGPU(id);
        }
    });
    connect(&store_, &GPUStore::devicesChanged, this, &GPUSelectorView::update);
    connect(&store_, &GPUStore::selectedIDChanged, this, &GPUSelectorView::update);
    update();
}

void GPUSelectorView::update() {
    const QSignalBlocker blocker(picker_);
    picker_->clear();
    int current = -1;
    const auto& devices = store_.devices();
    picker_->addItems(pickerEntries(devices));
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (store_.selectedID() == devices[i].id) {
            current = static_cast<int>(i);
        }
    }
    // No selection stands for the first device; no devices, for no value at all.
    if (current < 0 && !devices.empty()) {
        current = 0;
    }
    picker_->setCurrentIndex(current);
}

} // namespace tarsik

#include "gpu_selector_view.moc"
