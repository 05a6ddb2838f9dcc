#include "ui/shell/tab_bar.h"

#include "ui/kit/accessibility.h"
#include "ui/kit/button_styles.h"

#include <QHBoxLayout>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace tarsik {
namespace {

constexpr int outerPadding = 12;
constexpr int spacing = 8;
constexpr int buttonPadding = 10;
constexpr double narrowestLabel = 82;
constexpr double scrollingLabel = 108;
constexpr int barHeight = 44;

} // namespace

TabLayout tabLayout(double barWidth, int tabCount) {
    const double n = tabCount;
    const double spare =
        std::max(0.0, barWidth - 2 * outerPadding - spacing * std::max(n - 1, 0.0) - 2 * buttonPadding * n);
    const double each = tabCount > 0 ? std::max(0.0, spare / n) : 0.0;
    if (each < narrowestLabel) {
        return {.scrolling = true, .labelWidth = scrollingLabel};
    }
    return {.scrolling = false, .labelWidth = each};
}

TabBar::TabBar(std::vector<TabItem> tabs, QWidget* parent)
    : QWidget(parent), tabs_(std::move(tabs)), scroll_(new QScrollArea(this)), row_(new QWidget) {
    setFixedHeight(barHeight);
    auto* rowLayout = new QHBoxLayout(row_);
    rowLayout->setContentsMargins(outerPadding, 0, outerPadding, 0);
    rowLayout->setSpacing(spacing);
    for (const auto& tab : tabs_) {
        auto* button = new GlassTabButton(tab.symbol, tab.title, row_);
        button->setActive(tab.id == selectedTab_);
        connect(button, &QAbstractButton::clicked, this, [this, id = tab.id] {
            setSelectedTab(id);
            emit selected(id);
        });
        rowLayout->addWidget(button);
        buttons_.push_back(button);
    }
    rowLayout->addStretch();
    row_->setAutoFillBackground(false);

    scroll_->setWidget(row_);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->viewport()->setAutoFillBackground(false);
    scroll_->setFocusPolicy(Qt::NoFocus); // the tabs take focus, not the strip that holds them
    setAccessibleRole(this, QAccessible::PageTabList);
    setAccessibleName(QStringLiteral("Tabs"));
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll_);
}

void TabBar::setSelectedTab(TabID id) {
    selectedTab_ = id;
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        buttons_[i]->setActive(tabs_[i].id == id);
    }
}

void TabBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

void TabBar::relayout() {
    layout_ = tabLayout(width(), static_cast<int>(tabs_.size()));
    // Whole pixels, rounded where each label ends, so the row meets both outer paddings exactly.
    double end = 0;
    int placed = 0;
    for (auto* button : buttons_) {
        end += layout_.labelWidth;
        const int next = static_cast<int>(std::lround(end));
        button->setLabelWidth(next - placed);
        placed = next;
    }
    // Without scrolling the row is exactly as wide as the bar; with it, as wide as its buttons.
    scroll_->setWidgetResizable(!layout_.scrolling);
    if (layout_.scrolling) {
        row_->adjustSize();
    }
}

} // namespace tarsik
