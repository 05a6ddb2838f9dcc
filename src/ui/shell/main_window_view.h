#pragma once

#include "store/cancellable_task.h"
#include "ui/kit/panels.h"
#include "ui/shell/tab_bar.h"

#include <array>
#include <string>

class QStackedWidget;

namespace tarsik {

class FooterStatusView;
class GPUSelectorView;
class GPUStore;
class HeaderView;

// The content of a main window: header, GPU picker, the five tabs and the status footer over the
// window background. Its first showing starts the store's start-up refresh.
class MainWindowView : public MetallicBackgroundView {
    Q_OBJECT

  public:
    explicit MainWindowView(GPUStore& store, QWidget* parent = nullptr);
    ~MainWindowView() override;

    HeaderView* header() const { return header_; }
    GPUSelectorView* selector() const { return selector_; }
    TabBar* tabBar() const { return tabBar_; }
    FooterStatusView* footer() const { return footer_; }
    QWidget* currentTabContent() const;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    static constexpr int tabCount = 5;

    void showTab(TabID id);
    // Selects the tab `step` places on, wrapping around at either end.
    void stepTab(int step);
    QWidget* makeTab(TabID id);

    GPUStore& store_;
    HeaderView* header_;
    GPUSelectorView* selector_;
    TabBar* tabBar_;
    QStackedWidget* content_;
    FooterStatusView* footer_;
    CancellableTask startupTask_;
    bool started_ = false;
    // The card whose content is shown, as the bus address or name tells it.
    std::string shownCard_;
    std::array<bool, tabCount> built_{};
};

} // namespace tarsik
