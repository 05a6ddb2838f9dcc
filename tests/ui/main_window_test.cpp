#include "collector/fake_gpu_device_list.h"
#include "collector/gpu_info_collector.h"
#include "platform/process_runner.h"
#include "store/pooled_collector.h"
#include "ui/kit/app_theme.h"
#include "ui/kit/button_styles.h"
#include "ui/kit/focus_ring.h"
#include "ui/shell/app_commands.h"
#include "ui/shell/footer_status_view.h"
#include "ui/shell/gpu_selector_view.h"
#include "ui/shell/header_view.h"
#include "ui/shell/main_window.h"
#include "ui/shell/main_window_view.h"
#include "ui/shell/tab_bar.h"
#include "ui/shell/window_controls.h"
#include "ui/tabs/advanced_view.h"
#include "ui_fixture.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QPointer>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <map>

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

// At every window width the tabs fill the bar between its paddings of 12, and each title shrinks
// (down to 0.7) rather than being cut; below a bar of 566, which a window narrower than its
// minimum would have, the tabs scroll instead.
TEST(TabBarLayout, TitlesShrinkAndTheRowSpansTheBarAtEveryWidth) {
    StoreWithDevices machine({});
    MainWindowView view(*machine.store);
    view.show();
    const TabBar& bar = *view.tabBar();
    for (int width = 600; width <= 1200; ++width) {
        view.resize(width, 540);
        QCoreApplication::processEvents();
        ASSERT_FALSE(bar.layout().scrolling) << width;
        EXPECT_EQ(bar.buttons().front()->x(), 12) << width;
        EXPECT_EQ(bar.buttons().back()->geometry().right() + 1, width - 12) << width;
        for (auto* button : bar.buttons()) {
            EXPECT_FALSE(button->fittedText().elided) << button->text().toStdString() << " at " << width;
        }
    }
    view.setMinimumSize(0, 0);
    view.resize(566, 540);
    QCoreApplication::processEvents();
    EXPECT_FALSE(bar.layout().scrolling);
    view.resize(565, 540);
    QCoreApplication::processEvents();
    EXPECT_TRUE(bar.layout().scrolling);
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

    store.selectGPU(UUID::random()); // a selection that matches nothing stands for the first device
    EXPECT_EQ(view.selector()->picker()->currentIndex(), 0);
    emit view.selector()->picker()->activated(1);
    EXPECT_EQ(store.selectedID(), store.devices()[1].id);
}

// Identical cards are told apart by their bus address; a lone name stays as it is.
TEST(GPUSelector, EntriesOfGPUsThatShareANameAddTheirBusAddress) {
    const auto gpu = [](const char* name, const char* slot) {
        return GPUDevice{.name = name, .raw = {{pciSlotKey, slot}}};
    };
    StoreWithDevices machine({gpu("AMD Radeon RX 6800 XT", "0000:03:00.0"),
                              gpu("Intel UHD Graphics 630", "0000:00:02.0"),
                              gpu("AMD Radeon RX 6800 XT", "0001:04:00.0")});
    GPUSelectorView selector(*machine.store);
    QStringList shown;
    for (int i = 0; i < selector.picker()->count(); ++i) {
        shown << selector.picker()->itemText(i);
    }
    EXPECT_EQ(shown, QStringList({"AMD Radeon RX 6800 XT \u00B7 03:00.0", "Intel UHD Graphics 630",
                                  "AMD Radeon RX 6800 XT \u00B7 0001:04:00.0"}));
}

TEST(GPUSelector, ThePickerGrowsWithTheWindowFrom150To320) {
    const QString name = "Intel CoffeeLake-S GT2 [UHD Graphics 630]";
    StoreWithDevices machine({GPUDevice{.name = name.toStdString()}});
    GPUSelectorView selector(*machine.store);
    selector.show();
    const QComboBox& picker = *selector.picker();
    int previous = 0;
    for (const int width : {280, 360, 420, 736, 1176}) {
        selector.resize(width, selector.height());
        QCoreApplication::processEvents();
        EXPECT_GE(picker.width(), std::max(150, previous)) << width;
        EXPECT_LE(picker.width(), 320) << width;
        previous = picker.width();
    }
    EXPECT_EQ(picker.width(), 320);
    QStyleOptionComboBox option;
    option.initFrom(&picker);
    const QRect text =
        picker.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &picker);
    EXPECT_GE(text.width(), picker.fontMetrics().horizontalAdvance(name)) << "the whole name fits in 320";
}

TEST_F(MainWindowTest, TabBarInTheWindowSwitchesContentOnly) {
    StoreWithDevices machine({GPUDevice{.name = "A"}});
    MainWindowView view(*machine.store);
    view.resize(600, 460);
    view.show();
    QTest::qWait(10);
    EXPECT_EQ(view.tabBar()->selectedTab(), TabID::GraphicsCard);
    emit view.tabBar()->selected(TabID::Advanced);
    EXPECT_NE(dynamic_cast<AdvancedView*>(view.currentTabContent()), nullptr);
    EXPECT_EQ(machine.fake->inventories.size(), 1u) << "switching tabs starts nothing";
}

// A tab starts at its top when it is shown and when another GPU is picked; a refresh that hands
// over the same cards keeps the place.
TEST_F(MainWindowTest, TabContentStartsAtTheTopForAnotherTabOrGPUOnly) {
    StoreWithDevices machine({testing::deviceWithRows("A", 200), testing::deviceWithRows("B", 200)});
    MainWindowView view(*machine.store);
    view.resize(760, 540);
    view.show();
    const auto scrolledTo = [&](TabID tab, int value) {
        view.tabBar()->buttons()[static_cast<std::size_t>(tab)]->click();
        QCoreApplication::processEvents();
        auto* bar = view.currentTabContent()->findChild<QAbstractScrollArea*>()->verticalScrollBar();
        bar->setValue(value);
        return bar;
    };
    auto* list = scrolledTo(TabID::Advanced, 300);
    ASSERT_EQ(list->value(), 300);
    testing::StoreProbe::applyFastInventory(*machine.store);
    QCoreApplication::processEvents();
    EXPECT_EQ(list->value(), 300) << "a refresh of the same cards";
    machine.store->selectGPU(machine.store->devices()[1].id);
    QCoreApplication::processEvents();
    EXPECT_EQ(list->value(), 0) << "another GPU";

    list = scrolledTo(TabID::Advanced, 300);
    view.tabBar()->buttons()[static_cast<std::size_t>(TabID::Help)]->click();
    view.tabBar()->buttons()[static_cast<std::size_t>(TabID::Advanced)]->click();
    EXPECT_EQ(list->value(), 0) << "the tab shown again";
}

std::vector<MainWindow*> mainWindows() {
    std::vector<MainWindow*> windows;
    for (auto* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<MainWindow*>(widget); window && window->isVisible()) {
            windows.push_back(window);
        }
    }
    return windows;
}

void closeMainWindows() {
    for (auto* window : mainWindows()) {
        window->close();
    }
    QTest::qWait(10);
}

TEST_F(MainWindowTest, ANewWindowOpensBesideTheFirstOverTheSameStore) {
    auto fake = std::make_shared<testing::FakeAsyncCollector>();
    fake->fastDevices = {GPUDevice{.name = "A"}};
    GPUStore store(fake);
    AppCommands commands(store, settings);
    MainWindow* first = commands.openMainWindow();
    commands.newWindowAction().trigger();
    ASSERT_EQ(mainWindows().size(), 2u);
    MainWindow* second = mainWindows()[0] == first ? mainWindows()[1] : mainWindows()[0];
    EXPECT_EQ(second->geometry().topLeft(), first->geometry().topLeft() + QPoint(28, 28));

    fake->releaseInventory(0, {GPUDevice{.name = "A"}, GPUDevice{.name = "B"}});
    QTest::qWait(20);
    EXPECT_EQ(first->view()->footer()->countText(), "2");
    EXPECT_EQ(second->view()->footer()->countText(), "2") << "one refresh shows in both";
    closeMainWindows();
}

// The menu bar comes on top of the content's size; panels leave no room for their shadows.
TEST_F(MainWindowTest, TheContentHasTheIdealSizeAndThePanelsTheirOutlines) {
    StoreWithDevices machine({GPUDevice{.name = "A"}});
    AppCommands commands(*machine.store, settings);
    MainWindow* window = commands.openMainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    MainWindowView& view = *window->view();
    EXPECT_EQ(view.size(), MainWindow::idealContentSize);
    const auto frameOf = [&view](const QWidget* part) {
        return QRect(part->mapTo(&view, QPoint()), part->size());
    };
    const QImage image = view.grab().toImage();
    for (const QWidget* panel : std::initializer_list<const QWidget*>{view.header(), view.footer()}) {
        const QRect area = frameOf(panel);
        EXPECT_EQ(image.pixel(area.center().x(), area.bottom()), image.pixel(area.left(), area.center().y()))
            << "the panel's outline runs along its bottom edge";
    }
    window->close();
}

// The keys go through the application's real shortcut map, from whichever window is active.
TEST_F(MainWindowTest, TheCommandKeysWorkFromEveryWindow) {
    StoreWithDevices machine({GPUDevice{.name = "A"}});
    AppCommands commands(*machine.store, settings);
    MainWindow* main = commands.openMainWindow();
    const auto pressIn = [](QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, key, modifiers);
    };

    // X11 and Wayland hand Ctrl+Shift+/ to the shortcut map as Ctrl+?; other platforms keep the Shift.
    pressIn(main, Qt::Key_Question, Qt::ControlModifier);
    QWidget* help = commands.helpPresenter().window();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    pressIn(help, Qt::Key_Escape, {});
    EXPECT_FALSE(help->isVisible()) << "Esc closes Help";
    pressIn(main, Qt::Key_Question, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(help->isVisible());
    pressIn(help, Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(help->isVisible()) << "Ctrl+W closes Help";
    pressIn(main, Qt::Key_F1, {});
    EXPECT_TRUE(help->isVisible()) << "F1 opens Help";

    commands.aboutPresenter().show();
    QWidget* about = commands.aboutPresenter().window();
    EXPECT_EQ(about->findChild<QMenuBar*>(), nullptr) << "About has no menu bar";
    pressIn(about, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(mainWindows().size(), 2u) << "New Window from the About window";
    QSignalSpy quit(&commands.quitAction(), &QAction::triggered);
    pressIn(about, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quit.count(), 1) << "Quit from the About window";
    pressIn(about, Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(about->isVisible()) << "Ctrl+W closes About";

    pressIn(main, Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(mainWindows().size(), 1u) << "Ctrl+W closes a main window";
    closeMainWindows();
    pressIn(help, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quit.count(), 2) << "Quit from the Help window, the last one open";
    help->close();
}

// Tab walks header, picker, tab bar and tab content in that order, each stop ringed in the
// accent colour; Ctrl+Tab and Ctrl+PgDown, and their Shift and PgUp partners, cycle the tabs.
TEST_F(MainWindowTest, TheKeyboardWalksTheWindowInOrderWithARingAndCyclesTheTabs) {
    StoreWithDevices machine({GPUDevice{.name = "A"}});
    AppCommands commands(*machine.store, settings);
    MainWindow* window = commands.openMainWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    MainWindowView& view = *window->view();
    const auto* ring = qApp->findChild<FocusRing*>();
    ASSERT_NE(ring, nullptr);

    machine.fake->releaseInventory(0, {GPUDevice{.name = "A"}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.header()->refreshButton()->isEnabled(); }));
    view.header()->refreshButton()->setFocus();
    std::vector<QWidget*> stops;
    for (int press = 0; press < 9; ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        stops.push_back(QApplication::focusWidget());
        EXPECT_EQ(ring->ringed(), stops.back()) << press;
    }
    const auto inside = [](QWidget* part) { return [part](QWidget* w) { return part->isAncestorOf(w); }; };
    const auto firstIn = [&](QWidget* part) {
        return std::find_if(stops.begin(), stops.end(), inside(part)) - stops.begin();
    };
    EXPECT_TRUE(inside(view.header())(stops[0])) << "from Refresh to the donation button";
    EXPECT_EQ(stops[1], view.selector()->picker());
    EXPECT_EQ(firstIn(view.tabBar()), 2);
    EXPECT_EQ(std::count_if(stops.begin(), stops.end(), inside(view.tabBar())), 5);
    EXPECT_EQ(firstIn(view.currentTabContent()), 7) << "the tab's content comes after the tab bar";

    QWidget* tab = view.tabBar()->buttons()[2];
    tab->setFocus(Qt::TabFocusReason);
    const QImage shot = window->grab().toImage();
    const QPoint edge = tab->mapTo(window, QPoint(tab->width() / 2, -1));
    EXPECT_EQ(shot.pixelColor(edge).rgb(), AppTheme::accent().rgb()) << "the ring just above the tab";

    const std::pair<QKeyCombination, TabID> steps[] = {
        {Qt::CTRL | Qt::Key_Tab, TabID::Sensors},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, TabID::GraphicsCard},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, TabID::Help},
        {Qt::CTRL | Qt::Key_PageDown, TabID::GraphicsCard},
        {Qt::CTRL | Qt::Key_PageUp, TabID::Help},
    };
    for (const auto& [keys, shown] : steps) {
        QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers());
        EXPECT_EQ(view.tabBar()->selectedTab(), shown);
        EXPECT_EQ(view.currentTabContent(),
                  view.findChild<QStackedWidget*>()->widget(static_cast<int>(shown)));
    }
    window->close();
}

// Every control a Tab reaches and every reading row has a name and a role for screen readers.
TEST_F(MainWindowTest, ControlsAndReadingRowsHaveAccessibleNamesAndRoles) {
    GPUDevice gpu{.name = "AMD Radeon RX 6800 XT", .type = "Discrete"};
    gpu.displays = {
        DisplayInfo{.name = "DELL U2720Q", .resolution = "3840 x 2160", .main = true, .online = true}};
    StoreWithDevices machine({gpu});
    AppCommands commands(*machine.store, settings);
    MainWindow* window = commands.openMainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    for (int tab = 0; tab < 5; ++tab) {
        window->view()->tabBar()->buttons()[static_cast<std::size_t>(tab)]->click();
        QCoreApplication::processEvents();
        for (auto* widget : window->findChildren<QWidget*>()) {
            if (!widget->isVisibleTo(window) || !(widget->focusPolicy() & Qt::TabFocus)) {
                continue;
            }
            const auto* accessible = QAccessible::queryAccessibleInterface(widget);
            ASSERT_NE(accessible, nullptr);
            EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << widget->metaObject()->className();
            EXPECT_NE(accessible->role(), QAccessible::Client) << widget->metaObject()->className();
        }
    }
    const auto* tabs = QAccessible::queryAccessibleInterface(window->view()->tabBar()->buttons()[4]);
    EXPECT_EQ(tabs->role(), QAccessible::PageTab);
    EXPECT_TRUE(tabs->state().selected) << "the Help tab is the one shown";

    window->view()->tabBar()->buttons()[0]->click();
    QStringList rows;
    for (auto* widget : window->view()->currentTabContent()->findChildren<QWidget*>()) {
        if (const auto* accessible = QAccessible::queryAccessibleInterface(widget);
            accessible != nullptr && accessible->role() == QAccessible::ListItem) {
            rows << accessible->text(QAccessible::Name);
        }
    }
    EXPECT_TRUE(rows.contains("GPU Type: Discrete")) << rows.join(" | ").toStdString();
    EXPECT_TRUE(rows.contains("DELL U2720Q: 3840 x 2160 \u2022 Main")) << rows.join(" | ").toStdString();
    window->close();
}

// Where the compositor draws no decorations, the windows carry their own controls: the main
// window's header minimise, maximise and close, and maximises on a double-click; Help minimise
// and close, About close only. Presses within 6 of an edge resize.
TEST_F(MainWindowTest, WithoutDecorationsTheWindowsCarryTheirOwnControls) {
    setOwnWindowControls(true);
    const std::shared_ptr<void> restore(nullptr, [](void*) { setOwnWindowControls(false); });
    StoreWithDevices machine({GPUDevice{.name = "A"}});
    AppCommands commands(*machine.store, settings);
    QPointer<MainWindow> window = commands.openMainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const auto buttonsOf = [](QWidget* parent) {
        std::map<QString, QAbstractButton*> named;
        for (auto* controls : parent->findChildren<WindowControls*>()) {
            for (auto* button : controls->findChildren<QAbstractButton*>()) {
                named[button->accessibleName()] = button;
            }
        }
        return named;
    };
    auto controls = buttonsOf(window->view()->header());
    ASSERT_EQ(controls.size(), 3u);
    controls.at("Maximise")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->isMaximized(); }));
    QTest::mouseDClick(window->view()->header(), Qt::LeftButton, {}, QPoint(200, 20));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isMaximized(); })) << "a double-click restores";
    controls.at("Minimise")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->isMinimized(); }));

    commands.helpPresenter().show();
    commands.aboutPresenter().show();
    EXPECT_EQ(buttonsOf(commands.helpPresenter().window()).size(), 2u) << "no maximise for a fixed size";
    const auto about = buttonsOf(commands.aboutPresenter().window());
    ASSERT_EQ(about.size(), 1u);
    about.at("Close")->click();
    EXPECT_FALSE(commands.aboutPresenter().window()->isVisible());
    commands.helpPresenter().window()->close();
    controls.at("Close")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }));

    EXPECT_EQ(resizeEdgesAt(QPoint(3, 300), QSize(760, 560), 6), Qt::LeftEdge);
    EXPECT_EQ(resizeEdgesAt(QPoint(757, 556), QSize(760, 560), 6), Qt::RightEdge | Qt::BottomEdge);
    EXPECT_EQ(resizeEdgesAt(QPoint(6, 6), QSize(760, 560), 6), Qt::Edges());
}

// Quitting while the profiler hangs: the event loop ends at once and the hanging child is ended.
TEST_F(MainWindowTest, QuitDuringAHangingRefreshEndsAtOnce) {
    const auto script = folder.filePath("tarsik-profiler").toStdString();
    const auto pidFile = folder.filePath("pid").toStdString();
    std::ofstream(script) << "#!/bin/sh\necho $$ > '" << pidFile << "'\nexec sleep 60\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    auto collector = std::make_shared<GPUInfoCollector>(platform::Services{
        .gpuDevices = std::make_shared<testing::FakeGPUDeviceList>(std::vector<platform::GPUDeviceInfo>{}),
        .processRunner = std::make_shared<platform::PosixProcessRunner>(),
        .profiler = script,
    });
    GPUStore store(std::make_shared<PooledCollector>(collector));
    AppCommands commands(store, settings);
    QElapsedTimer elapsed;
    elapsed.start();
    const QPointer<MainWindow> window = commands.openMainWindow();
    QTimer::singleShot(500, window, [window] { menuAction(*window, "Quit Tarsik")->trigger(); });
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
