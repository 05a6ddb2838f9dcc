#include "collector/fake_gpu_device_list.h"
#include "collector/gpu_info_collector.h"
#include "platform/process_runner.h"
#include "store/pooled_collector.h"
#include "ui/shell/button_styles.h"
#include "ui/shell/footer_status_view.h"
#include "ui/shell/gpu_selector_view.h"
#include "ui/shell/header_view.h"
#include "ui/shell/main_window.h"
#include "ui/shell/main_window_view.h"
#include "ui/shell/tab_bar.h"
#include "ui/tabs/advanced_view.h"
#include "ui_fixture.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

using testing::StoreWithDevices;

QAction* menuAction(QMainWindow& window, const QString& text) {
    for (auto* menu : window.menuBar()->findChildren<QMenu*>()) {
        for (auto* action : menu->actions()) {
            if (action->text() == text) {
                return action;
            }
        }
    }
    return nullptr;
}

struct MainWindowTest : ::testing::Test {
    QTemporaryDir folder;
    QSettings settings{folder.filePath("settings.ini"), QSettings::IniFormat};
};

TEST(TabBarLayout, SharesTheWidthAndScrollsBelow566) {
    const auto at600 = tabLayout(600, 5);
    EXPECT_FALSE(at600.scrolling);
    EXPECT_DOUBLE_EQ(at600.labelWidth, 88.8);
    EXPECT_FALSE(tabLayout(566, 5).scrolling) << "exactly 82 per label";
    const auto at560 = tabLayout(560, 5);
    EXPECT_TRUE(at560.scrolling) << "80.8 per label";
    EXPECT_DOUBLE_EQ(at560.labelWidth, 108);
    EXPECT_TRUE(tabLayout(0, 5).scrolling);
    EXPECT_TRUE(tabLayout(100, 0).scrolling);
}

TEST_F(MainWindowTest, PickerChipAndFooterFollowTheStore) {
    auto fake = std::make_shared<testing::FakeAsyncCollector>();
    fake->fastDevices = {GPUDevice{.name = "AMD Radeon RX 6800 XT"},
                         GPUDevice{.name = "Intel UHD Graphics 630"}};
    GPUStore store(fake);
    MainWindowView view(store);
    EXPECT_FALSE(view.header()->refreshChip()->isVisibleTo(&view)) << "no chip before the first inventory";
    EXPECT_EQ(view.footer()->countText(), "0");
    EXPECT_EQ(view.selector()->picker()->count(), 0);
    EXPECT_EQ(view.selector()->picker()->currentIndex(), -1);

    view.show(); // the first showing starts the start-up refresh
    EXPECT_EQ(store.refreshCount(), 1);
    EXPECT_TRUE(store.isRefreshing());
    EXPECT_TRUE(view.header()->refreshChip()->isVisibleTo(&view));
    EXPECT_FALSE(view.header()->chipText().isEmpty());
    EXPECT_EQ(view.header()->refreshButton()->text(), "Refreshing");
    EXPECT_FALSE(view.header()->refreshButton()->isEnabled());
    EXPECT_EQ(view.footer()->statusText(), "Refreshing");
    EXPECT_EQ(view.footer()->countText(), "2");
    EXPECT_EQ(view.selector()->picker()->currentText(), "AMD Radeon RX 6800 XT");

    fake->releaseInventory(
        0, {GPUDevice{.name = "Intel UHD Graphics 630"}, GPUDevice{.name = "AMD Radeon RX 6800 XT"}});
    QTest::qWait(20);
    EXPECT_EQ(view.header()->refreshButton()->text(), "Refresh");
    EXPECT_TRUE(view.header()->refreshButton()->isEnabled());
    EXPECT_EQ(view.footer()->statusText(), "Ready");
    EXPECT_EQ(view.selector()->picker()->currentText(), "AMD Radeon RX 6800 XT") << "kept by name";

    store.selectGPU(Uuid::random()); // a selection that matches nothing stands for the first device
    EXPECT_EQ(view.selector()->picker()->currentIndex(), 0);
    emit view.selector()->picker()->activated(1);
    EXPECT_EQ(store.selectedID(), store.devices()[1].id);
}

TEST_F(MainWindowTest, TabBarInTheWindowSwitchesContentOnly) {
    StoreWithDevices machine({GPUDevice{.name = "A"}});
    MainWindowView view(*machine.store);
    view.resize(600, 460);
    view.show();
    QTest::qWait(10);
    EXPECT_EQ(view.tabBar()->selectedTab(), 0);
    emit view.tabBar()->selected(2);
    EXPECT_NE(dynamic_cast<AdvancedView*>(view.currentTabContent()), nullptr);
    EXPECT_EQ(machine.fake->inventories.size(), 1u) << "switching tabs starts nothing";
}

TEST_F(MainWindowTest, MenusAndASecondWindowShareTheOneStore) {
    auto fake = std::make_shared<testing::FakeAsyncCollector>();
    fake->fastDevices = {GPUDevice{.name = "A"}};
    GPUStore store(fake);
    auto* first = new MainWindow(store, settings);
    first->show();
    ASSERT_NE(menuAction(*first, "About Tarsik"), nullptr);
    EXPECT_EQ(menuAction(*first, "Quit Tarsik")->shortcut(), QKeySequence("Ctrl+Q"));
    EXPECT_EQ(menuAction(*first, "Tarsik Help")->shortcut(), QKeySequence("Ctrl+Shift+?"));

    menuAction(*first, "New Window")->trigger();
    MainWindow* second = nullptr;
    for (auto* widget : QApplication::topLevelWidgets()) {
        if (auto* window = dynamic_cast<MainWindow*>(widget);
            window && window != first && window->isVisible()) {
            second = window;
        }
    }
    ASSERT_NE(second, nullptr);
    fake->releaseInventory(0, {GPUDevice{.name = "A"}, GPUDevice{.name = "B"}});
    QTest::qWait(20);
    EXPECT_EQ(first->view()->footer()->countText(), "2");
    EXPECT_EQ(second->view()->footer()->countText(), "2") << "one refresh shows in both";
    first->close();
    second->close();
    QTest::qWait(10);
}

// Quitting while the profiler hangs: the event loop ends at once and the hanging child is ended.
TEST_F(MainWindowTest, QuitDuringAHangingRefreshEndsAtOnce) {
    const auto script = folder.filePath("tarsik-profiler").toStdString();
    const auto pidFile = folder.filePath("pid").toStdString();
    std::ofstream(script) << "#!/bin/sh\necho $$ > '" << pidFile << "'\nexec sleep 60\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    auto collector = std::make_shared<GPUInfoCollector>(platform::Services{
        .gpuDevices = std::make_shared<testing::FakeGpuDeviceList>(std::vector<platform::GpuDeviceInfo>{}),
        .processRunner = std::make_shared<platform::PosixProcessRunner>(),
        .profiler = script,
    });
    GPUStore store(std::make_shared<PooledCollector>(collector));
    const QPointer<MainWindow> window = new MainWindow(store, settings);
    QTimer::singleShot(500, window, [window] { menuAction(*window, "Quit Tarsik")->trigger(); });
    QElapsedTimer elapsed;
    elapsed.start();
    window->show();
    ASSERT_TRUE(store.isRefreshing());
    QApplication::exec();
    EXPECT_LT(elapsed.elapsed(), 3000) << "the event loop did not wait for the profiler";

    platform::PosixProcessRunner::killRunningChildren();
    pid_t child = 0;
    std::ifstream(pidFile) >> child;
    ASSERT_GT(child, 0);
    bool gone = false;
    for (int i = 0; i < 200 && !gone; ++i) {
        gone = ::kill(child, 0) != 0;
        QTest::qWait(10);
    }
    EXPECT_TRUE(gone) << "the hanging profiler was ended";
    EXPECT_TRUE(window.isNull()) << "quitting closed the window";
    // With the child gone the refresh ends, and no task is left holding the store.
    for (int i = 0; i < 500 && store.isRefreshing(); ++i) {
        QTest::qWait(10);
    }
    EXPECT_FALSE(store.isRefreshing());
}

} // namespace
} // namespace tarsik
