#include "ui/kit/symbols.h"
#include "ui/tabs/sensors_view.h"
#include "ui_fixture.h"

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
        bool labelShown = false;
        for (const auto* label : view.findChildren<QLabel*>()) {
            if (label->text() == QStringLiteral("Manual refresh only")) {
                labelShown = label->isVisible();
            }
        }
        EXPECT_EQ(labelShown, shown) << count;
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
    bool labelShown = false;
    for (const auto* label : view.findChildren<QLabel*>()) {
        if (label->text() == QStringLiteral("Manual refresh only")) {
            labelShown = label->isVisible();
        }
    }
    EXPECT_TRUE(labelShown);
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

} // namespace
} // namespace tarsik
