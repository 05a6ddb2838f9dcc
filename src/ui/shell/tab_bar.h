#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

class QHBoxLayout;
class QScrollArea;

namespace tarsik {

class GlassTabButton;

// The main window's tabs, in display order.
enum class TabID { GraphicsCard, Sensors, Advanced, Validation, Help };

struct TabItem {
    TabID id = TabID::GraphicsCard;
    QString title;
    QString symbol;
};

// How wide each tab label is for a bar of `barWidth` with `tabCount` tabs: the space left after
// the outer padding (2 × 12), the spacing (8 between buttons) and each button's own padding
// (2 × 10), shared out; below 82 per label the bar scrolls with labels 108 wide.
struct TabLayout {
    bool scrolling = false;
    double labelWidth = 0;
};
TabLayout tabLayout(double barWidth, int tabCount);

// The row of tab buttons; pressing one selects it and tells `selected`.
class TabBar : public QWidget {
    Q_OBJECT

  public:
    TabBar(std::vector<TabItem> tabs, QWidget* parent = nullptr);

    TabID selectedTab() const { return selectedTab_; }
    void setSelectedTab(TabID id);
    const TabLayout& layout() const { return layout_; }
    const std::vector<GlassTabButton*>& buttons() const { return buttons_; }

  signals:
    void selected(TabID id);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void relayout();

    std::vector<TabItem> tabs_;
    std::vector<GlassTabButton*> buttons_;
    QScrollArea* scroll_;
    QWidget* row_;
    TabID selectedTab_ = TabID::GraphicsCard;
    TabLayout layout_;
};

} // namespace tarsik
