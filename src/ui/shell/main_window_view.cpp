#include "ui/shell/main_window_view.h"

#include "store/gpu_store.h"
#include "ui/shell/footer_status_view.h"
#include "ui/shell/gpu_selector_view.h"
#include "ui/shell/header_view.h"
#include "ui/shell/tab_bar.h"
#include "ui/tabs/advanced_view.h"
#include "ui/tabs/graphics_card_view.h"
#include "ui/tabs/help_view.h"
#include "ui/tabs/sensors_view.h"
#include "ui/tabs/validation_view.h"

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace tarsik {
namespace {

QWidget* padded(QWidget* widget, int left, int top, int right, int bottom) {
    auto* frame = new QWidget;
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(left, top, right, bottom);
    layout->addWidget(widget);
    return frame;
}

// Which card a record stands for. A refresh hands over new records (new ids) for the same cards,
// so the bus address tells, and the name where there is none.
std::string cardOf(const GPUDevice* gpu) {
    if (gpu == nullptr) {
        return {};
    }
    const auto* slot = pciSlotOf(*gpu);
    return slot != nullptr ? *slot : gpu->name;
}

void scrollToTop(QWidget* content) {
    auto areas = content->findChildren<QAbstractScrollArea*>();
    if (auto* area = qobject_cast<QAbstractScrollArea*>(content)) {
        areas.append(area);
    }
    for (auto* area : areas) {
        area->verticalScrollBar()->setValue(0);
    }
}

} // namespace

MainWindowView::MainWindowView(GPUStore& store, QWidget* parent)
    : MetallicBackgroundView(parent), store_(store), header_(new HeaderView(store)),
      selector_(new GPUSelectorView(store)),
      tabBar_(new TabBar({{TabID::GraphicsCard, "Graphics Card", "display"},
                          {TabID::Sensors, "Sensors", "waveform.path.ecg"},
                          {TabID::Advanced, "Advanced", "slider.horizontal.3"},
                          {TabID::Validation, "Validation", "checkmark.seal"},
                          {TabID::Help, "Help", "questionmark.circle"}})),
      content_(new QStackedWidget), footer_(new FooterStatusView(store)) {
    // A tab's place in the stack is its id. Only the first tab is built at once, the others when
    // first chosen, so the window paints as early as it can.
    for (int index = 0; index < tabCount; ++index) {
        content_->addWidget(new QWidget);
    }
    showTab(TabID::GraphicsCard);
    connect(tabBar_, &TabBar::selected, this, &MainWindowView::showTab);
    const auto stepKeys = [this](std::initializer_list<QKeySequence> keys, int step) {
        for (const auto& key : keys) {
            connect(new QShortcut(key, this), &QShortcut::activated, this, [this, step] { stepTab(step); });
        }
    };
    stepKeys({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1);
    stepKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
             -1);
    // Another card's content starts at its top; a refresh of the same card keeps the place.
    shownCard_ = cardOf(store_.selectedGPU());
    const auto followSelection = [this] {
        const auto card = cardOf(store_.selectedGPU());
        if (card != shownCard_) {
            shownCard_ = card;
            scrollToTop(content_->currentWidget());
        }
    };
    connect(&store_, &GPUStore::devicesChanged, this, followSelection);
    connect(&store_, &GPUStore::selectedIDChanged, this, followSelection);

    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 8, 0, 8);
    stack->setSpacing(9);
    stack->addWidget(padded(header_, 12, 12, 12, 0));
    stack->addWidget(padded(selector_, 12, 0, 12, 0));
    stack->addWidget(tabBar_);
    stack->addWidget(padded(content_, 12, 0, 12, 0), 1);
    stack->addWidget(padded(footer_, 12, 0, 12, 8));
}

MainWindowView::~MainWindowView() {
    startupTask_.cancel();
}

QWidget* MainWindowView::currentTabContent() const {
    return content_->currentWidget();
}

void MainWindowView::showTab(TabID id) {
    const int index = static_cast<int>(id);
    if (!built_[static_cast<std::size_t>(index)]) {
        built_[static_cast<std::size_t>(index)] = true;
        auto* placeholder = content_->widget(index);
        content_->insertWidget(index, makeTab(id));
        content_->removeWidget(placeholder);
        placeholder->deleteLater();
    }
    content_->setCurrentIndex(index);
    scrollToTop(content_->currentWidget());
}

void MainWindowView::stepTab(int step) {
    const auto next =
        static_cast<TabID>((static_cast<int>(tabBar_->selectedTab()) + step + tabCount) % tabCount);
    tabBar_->setSelectedTab(next);
    showTab(next);
}

QWidget* MainWindowView::makeTab(TabID id) {
    switch (id) {
    case TabID::GraphicsCard: {
        auto* graphicsCard = new GraphicsCardView;
        const auto showSelected = [this, graphicsCard] { graphicsCard->setGPU(store_.selectedGPU()); };
        connect(&store_, &GPUStore::devicesChanged, graphicsCard, showSelected);
        connect(&store_, &GPUStore::selectedIDChanged, graphicsCard, showSelected);
        showSelected();
        return graphicsCard;
    }
    case TabID::Sensors:
        return new SensorsView(store_);
    case TabID::Advanced:
        return new AdvancedView(store_);
    case TabID::Validation:
        return new ValidationView(store_);
    case TabID::Help:
        return new HelpView;
    }
    return nullptr;
}

void MainWindowView::showEvent(QShowEvent* event) {
    MetallicBackgroundView::showEvent(event);
    if (!started_) {
        started_ = true;
        store_.startupRefresh(startupTask_);
    }
}

} // namespace tarsik
