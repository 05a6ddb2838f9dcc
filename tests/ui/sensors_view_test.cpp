#include "ui/kit/fitting_label.h"
#include "ui/kit/history_chart.h"
#include "ui/kit/symbols.h"
#include "ui/tabs/sensors_view.h"
#include "ui_fixture.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLayout>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

using testing::StoreWithDevices;

std::vector<SensorReading> readings(int count) {
    std::vector<SensorReading> result;
    for (int index = 0; index < count; ++index) {
        result.push_back(SensorReading{.name = "Sensor " + std::to_string(index), .value = "1", .unit = "W"});
    }
    return result;
}

// Shows the tab, which asks for discovery, and publishes `published` as its result.
void showWithReadings(SensorsView& view, StoreWithDevices& machine, std::vector<SensorReading> published) {
    view.show();
    machine.fake->releaseSensors(machine.fake->discoveries.size() - 1, std::move(published));
    ASSERT_TRUE(QTest::qWaitFor([&] { return machine.store->sensors().size() != 4; }, 2000));
}

bool hintShown(const SensorsView& view) {
    for (const auto* label : view.findChildren<QLabel*>()) {
        if (label->text() == QStringLiteral("Manual refresh only")) {
            return label->isVisible();
        }
    }
    return false;
}

TEST(SensorsView, OnlyTheFirstAppearanceAsksForDiscovery) {
    StoreWithDevices machine({GPUDevice{.name = "Radeon"}});
    SensorsView view(*machine.store);
    EXPECT_TRUE(machine.fake->sensorDevices.empty()) << "building the tab asks nothing";
    view.show();
    ASSERT_EQ(machine.fake->sensorDevices.size(), 1u);
    EXPECT_EQ(machine.fake->sensorDevices[0]->name, "Radeon");
    view.hide();
    view.show();
    SensorsView another(*machine.store);
    another.show();
    EXPECT_EQ(machine.fake->sensorDevices.size(), 1u);
}

TEST(SensorsView, ManualRefreshLabelShowsBelowEightReadings) {
    for (const auto& [count, shown] : {std::pair{7, true}, {8, false}, {0, true}}) {
        StoreWithDevices machine({GPUDevice{.name = "Radeon"}});
        SensorsView view(*machine.store);
        showWithReadings(view, machine, readings(count));
        ASSERT_EQ(machine.store->sensors().size(), std::size_t(count));
        EXPECT_EQ(view.findChildren<QWidget*>(QStringLiteral("sensorRow")).size(), count);
        EXPECT_EQ(hintShown(view), shown) << count;
    }
}

// A driver's further readings follow the canonical rows under their own heading; the hint still
// counts only the canonical rows, so seven of them keep it with any number of further readings.
TEST(SensorsView, FurtherReadingsFollowUnderAHeadingAndLeaveTheHintAlone) {
    StoreWithDevices machine({GPUDevice{.name = "Radeon"}});
    SensorsView view(*machine.store);
    auto published = readings(7);
    for (const auto* kind : {"junctionTemperature", "memoryUsed", "runtimeSuspended"}) {
        published.push_back(
            SensorReading{.name = kind, .value = "1", .measurement = Measurement{.kind = kind}});
    }
    showWithReadings(view, machine, published);
    const auto rows = view.findChildren<QWidget*>(QStringLiteral("sensorRow"));
    EXPECT_EQ(rows.size(), 10);
    const auto headings = view.findChildren<QWidget*>(QStringLiteral("moreReadingsHeading"));
    ASSERT_EQ(headings.size(), 1);
    const auto* list = headings[0]->parentWidget()->layout();
    EXPECT_EQ(list->indexOf(headings[0]), list->indexOf(rows[6]) + 1) << "after the last canonical row";
    EXPECT_EQ(list->indexOf(rows[7]), list->indexOf(headings[0]) + 1) << "before the first further reading";
    EXPECT_TRUE(hintShown(view));
}

TEST(SensorsView, NoteBecomesTheInfoIconsTooltip) {
    StoreWithDevices machine({GPUDevice{.name = "Radeon"}});
    SensorsView view(*machine.store);
    showWithReadings(view, machine,
                     {SensorReading{.name = "GPU Temperature", .value = "54", .unit = "°C", .note = "edge"},
                      SensorReading{.name = "GPU Load", .value = "3", .unit = "%"}});
    const auto notes = view.findChildren<SymbolView*>(QStringLiteral("sensorNote"));
    ASSERT_EQ(notes.size(), 1);
    EXPECT_EQ(notes[0]->toolTip(), QStringLiteral("edge"));
}

// The lines' form is the texts' own; the tab copies the store's readings, or nothing.
TEST(SensorsView, CopySensorDebugPutsTheReadingsOnTheClipboard) {
    const std::pair<std::vector<SensorReading>, QString> cases[] = {
        {{SensorReading{.name = "GPU Temperature", .value = "54", .unit = "°C", .note = "edge"}},
         QStringLiteral("GPU Temperature: 54 °C | edge")},
        {{}, QString()},
    };
    for (const auto& [published, expected] : cases) {
        StoreWithDevices machine({GPUDevice{.name = "Radeon"}});
        SensorsView view(*machine.store);
        showWithReadings(view, machine, published);
        QApplication::clipboard()->setText(QStringLiteral("before"));
        view.copySensorDebug();
        EXPECT_EQ(testing::clipboardText(), expected);
    }
}

// Live is off at every start. On, it reads at once and then every second, but only while the tab
// is seen: nothing while the window is minimised or the tab hidden, and nothing once it is off.
TEST(SensorsView, LiveReadsOnlyWhileTheTabIsSeenAndHidesTheManualRefreshHint) {
    StoreWithDevices machine({GPUDevice{.name = "Radeon"}});
    SensorsView view(*machine.store);
    showWithReadings(view, machine, readings(3));
    auto* live = view.findChild<QCheckBox*>(QStringLiteral("liveToggle"));
    ASSERT_NE(live, nullptr);
    EXPECT_FALSE(live->isChecked());
    EXPECT_TRUE(live->toolTip().contains(QStringLiteral("keeps its driver from suspending it")));
    const auto reads = [&machine] { return machine.fake->discoveries.size(); };
    live->click();
    EXPECT_FALSE(hintShown(view));
    ASSERT_EQ(reads(), 2u) << "at once";
    machine.fake->releaseSensors(1, readings(3));
    view.showMinimized();
    QTest::qWait(1500);
    EXPECT_EQ(reads(), 2u) << "no reads while minimised";
    view.showNormal();
    ASSERT_EQ(reads(), 3u) << "restored, at once";
    machine.fake->releaseSensors(2, readings(3));
    view.hide();
    QTest::qWait(1500);
    EXPECT_EQ(reads(), 3u) << "no reads on another tab";
    view.show();
    ASSERT_EQ(reads(), 4u);
    live->click();
    machine.fake->releaseSensors(3, readings(3));
    QTest::qWait(1200);
    EXPECT_EQ(reads(), 4u) << "off stops the timer";
    EXPECT_TRUE(hintShown(view));
}

std::vector<SensorReading> temperatureAndPower(double celsius) {
    return {SensorReading{.name = "GPU Temperature",
                          .value = std::to_string(int(celsius)),
                          .unit = "°C",
                          .measurement = Measurement{.kind = "temperature", .value = celsius}},
            SensorReading{.name = "GPU Power",
                          .value = "100",
                          .unit = "W",
                          .measurement = Measurement{.kind = "power", .value = 100}}};
}

// Counts the paints of a row's texts; its chart moves along with time, whatever the value does.
struct PaintCounter : QObject {
    explicit PaintCounter(QWidget* row) {
        for (auto* label : row->findChildren<FittingLabel*>()) {
            label->installEventFilter(this);
        }
    }
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
    int paints = 0;
};

// A live reading is shown in the rows already there, and only the texts that changed repaint;
// each row charts its history from the second point on, its lowest and highest on hover.
TEST(SensorsView, ALiveReadingRepaintsOnlyTheChangedRowsAndChartsTheirHistory) {
    StoreWithDevices machine({GPUDevice{.name = "Radeon"}});
    SensorsView view(*machine.store);
    view.resize(640, 400);
    showWithReadings(view, machine, temperatureAndPower(40));
    const auto rows = view.findChildren<QWidget*>(QStringLiteral("sensorRow"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_FALSE(rows[0]->findChild<HistoryChart*>()->isVisible()) << "one point charts nothing";
    view.findChild<QCheckBox*>(QStringLiteral("liveToggle"))->click();
    machine.fake->releaseSensors(1, temperatureAndPower(41));
    ASSERT_TRUE(QTest::qWaitFor([&] { return machine.store->sensors()[0].value == "41"; }, 1000));
    EXPECT_EQ(view.findChildren<QWidget*>(QStringLiteral("sensorRow")), rows) << "not rebuilt";
    const auto* chart = rows[0]->findChild<HistoryChart*>();
    EXPECT_TRUE(chart->isVisible());
    EXPECT_EQ(chart->toolTip(), QStringLiteral("Last 5 minutes: lowest 40 °C, highest 41 °C"));
    ASSERT_EQ(chart->strokes().size(), 1u);
    EXPECT_LT(chart->strokes()[0].back().y(), chart->strokes()[0].front().y()) << "41 above 40";

    QTest::qWait(50);
    PaintCounter changed(rows[0]);
    PaintCounter unchanged(rows[1]);
    ASSERT_TRUE(QTest::qWaitFor([&] { return machine.fake->discoveries.size() == 3; }, 2000));
    machine.fake->releaseSensors(2, temperatureAndPower(44));
    ASSERT_TRUE(QTest::qWaitFor([&] { return machine.store->sensors()[0].value == "44"; }, 1000));
    QTest::qWait(50);
    EXPECT_GT(changed.paints, 0);
    EXPECT_EQ(unchanged.paints, 0);
    view.findChild<QCheckBox*>(QStringLiteral("liveToggle"))->click();
}

} // namespace
} // namespace tarsik
