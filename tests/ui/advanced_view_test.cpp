#include "ui/kit/text_styles.h"
#include "ui/tabs/advanced_rows_model.h"
#include "ui/tabs/advanced_view.h"
#include "ui_fixture.h"

#include <QAbstractItemModelTester>
#include <QFontMetricsF>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>
#include <string_view>

namespace tarsik {
namespace {

using testing::deviceWithRows;
using testing::StoreWithDevices;

constexpr int settleMs = 3000; // generous: the test only waits this long when something is wrong

// The list learns its own width: 500 gives a key column of 0.36 of it.
TEST(AdvancedView, KeyColumnFollowsTheListsWidth) {
    StoreWithDevices machine({deviceWithRows("Radeon", 3)});
    AdvancedView view(*machine.store);
    view.resize(500, 400);
    view.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.rowsList().keyWidth() == 180; }, settleMs));
}

// Rows of ink in `image` between columns `left` and `right`, grouped into the bands of the lines.
std::vector<int> inkBandHeights(const QImage& image, int left, int right) {
    const QRgb background = image.pixel(right - 1, 0);
    std::vector<int> bands;
    bool inBand = false;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = left; x < right && !ink; ++x) {
            ink = image.pixel(x, y) != background;
        }
        if (ink && !inBand) {
            bands.push_back(0);
        }
        if (ink) {
            ++bands.back();
        }
        inBand = ink;
    }
    return bands;
}

// At the window's ideal width a key may take three lines; the third is drawn as whole as the
// first, never cut at the bottom of its row.
TEST(AdvancedView, AKeyOfThreeLinesIsDrawnWhole) {
    QString word = QStringLiteral("g");
    while (QFontMetricsF(systemFont(13, QFont::DemiBold)).horizontalAdvance(word) < 0.66 * 265) {
        word += QLatin1Char('g'); // so wide that every word takes a line of its own
    }
    const QString key = word + QLatin1Char(' ') + word + QLatin1Char(' ') + word;
    StoreWithDevices machine({GPUDevice{.name = "Radeon", .raw = {{key.toStdString(), "1"}}}});
    AdvancedView view(*machine.store);
    view.resize(760 - 24, 400);
    view.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.rowsList().keyWidth() > 264; }, settleMs));
    QListView* list = view.rowsList().listView();
    const QRect row = list->visualRect(list->model()->index(0, 0));
    const QImage image = list->viewport()->grab(row.adjusted(0, 0, 0, 4)).toImage();
    const auto bands = inkBandHeights(image, 12, 12 + int(view.rowsList().keyWidth()));
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_EQ(bands[2], bands[0]);
    EXPECT_EQ(bands[1], bands[0]);
}

TEST(AdvancedRowsModel, LoadingMoreNeverLowersTheLimitAndExactPagesHaveNoTrigger) {
    AdvancedRowsModel model;
    model.setRows(std::vector<AdvancedRow>(80));
    EXPECT_FALSE(model.canFetchMore({}));
    model.setRows(std::vector<AdvancedRow>(50));
    model.loadMoreRows(50);
    EXPECT_EQ(model.visibleLimit(), 80);
    EXPECT_EQ(model.rowCount(), 50);
    model.setRows({});
    EXPECT_FALSE(model.canFetchMore({}));
}

TEST(AdvancedView, TheFilterMatchesKeyOrValueInAnyCase) {
    GPUDevice device{.name = "Radeon",
                     .raw = {{"GPU Name", "x"}, {"Driver", "amdgpu"}, {"Bus", "PCIe"}, {"g p u", "spaced"}}};
    StoreWithDevices machine({device});
    AdvancedView view(*machine.store);
    view.show();
    ASSERT_EQ(view.rowsModel().rowCount(), 4);

    QTest::keyClicks(&view.filterField(), QStringLiteral("gpu"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.rowsModel().rowCount() == 2; }, settleMs));
    EXPECT_EQ(view.rowsModel().index(0).data(AdvancedRowsModel::KeyRole).toString(),
              QStringLiteral("Driver"));
    EXPECT_EQ(view.rowsModel().index(1).data(AdvancedRowsModel::KeyRole).toString(),
              QStringLiteral("GPU Name"));

    view.filterField().clear();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.rowsModel().rowCount() == 4; }, settleMs));
}

// The pause that ends typing: not so short that each keystroke filters, not so long that the
// list seems stuck. Timers of the same loop mark 150 and 300 ms, so load delays them alike.
TEST(AdvancedView, TheFilterWaitsMoreThan150AndLessThan300Milliseconds) {
    StoreWithDevices machine({deviceWithRows("Radeon", 10)});
    AdvancedView view(*machine.store);
    view.show();
    QSignalSpy passes(&view.rowsModel(), &QAbstractItemModel::modelReset);
    QTest::keyClicks(&view.filterField(), QStringLiteral("key"));
    int passesAt150 = -1;
    int passesAt300 = -1;
    QTimer::singleShot(150, Qt::PreciseTimer, [&] { passesAt150 = static_cast<int>(passes.count()); });
    QTimer::singleShot(300, Qt::PreciseTimer, [&] { passesAt300 = static_cast<int>(passes.count()); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return passesAt300 >= 0; }, 5000));
    EXPECT_EQ(passesAt150, 0) << "filtered before 150 ms";
    EXPECT_EQ(passesAt300, 1) << "not filtered by 300 ms";
}

// Typed key by key at a brisk pace, each key restarts the wait: the list filters once, with the
// whole text, not with what stood when the first key's wait ran out.
TEST(AdvancedView, KeysTypedOneByOneFilterOnlyWhenTheTypingStops) {
    StoreWithDevices machine({deviceWithRows("Radeon", 20)});
    AdvancedView view(*machine.store);
    view.show();
    QStringList filtered;
    QObject::connect(&view.rowsModel(), &QAbstractItemModel::modelReset,
                     [&] { filtered << view.debouncedSearch(); });
    for (const char key : std::string_view("key 1")) {
        QTest::keyClick(&view.filterField(), key);
        QTest::qWait(100);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !filtered.isEmpty(); }, settleMs));
    EXPECT_EQ(filtered, QStringList{QStringLiteral("key 1")});
}

// Qt's own checker watches the model through paging, a filter's new rows and a GPU without rows.
// It calls fetchMore itself when a reset ends, before it counts the reset as over, so the rows
// that need paging are in place before it starts watching.
TEST(AdvancedRowsModel, KeepsQtsModelRulesWhileFilteringAndPaging) {
    const auto rowsOf = [](const GPUDevice& device) {
        std::vector<AdvancedRow> rows;
        for (const auto& [key, value] : device.raw) {
            rows.push_back(AdvancedRow{.key = key, .value = value});
        }
        return rows;
    };
    AdvancedRowsModel model;
    model.setRows(rowsOf(deviceWithRows("Radeon", 200)));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    while (model.canFetchMore({})) {
        model.fetchMore({});
    }
    EXPECT_EQ(model.rowCount(), 200);
    model.setRows(rowsOf(deviceWithRows("Filtered", 10)));
    model.fetchMore({});
    model.resetVisibleLimit();
    EXPECT_EQ(model.rowCount(), 10);
    model.setRows({});
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(AdvancedView, FilterStaysInForceForAnotherGPUStartingAgainAtTheFirstPage) {
    StoreWithDevices machine({deviceWithRows("A", 100), deviceWithRows("B", 300)});
    AdvancedView view(*machine.store);
    view.resize(600, 400);
    view.show();
    QTest::keyClicks(&view.filterField(), QStringLiteral("key 1"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.rowsModel().totalRows() == 100; }, settleMs));

    view.rowsList().listView()->scrollToBottom();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.rowsModel().rowCount() == 100; }, settleMs));
    machine.store->selectGPU(machine.store->devices()[1].id);
    EXPECT_EQ(view.filterField().text(), QStringLiteral("key 1"));
    EXPECT_EQ(view.rowsModel().totalRows(), 300) << "keys 1000 to 1299 all contain 'key 1'";
    EXPECT_EQ(view.rowsModel().rowCount(), 80);
}

TEST(AdvancedView, LeavingTheTabDropsAPendingFilterAndItsText) {
    StoreWithDevices machine({deviceWithRows("Radeon", 5)});
    AdvancedView view(*machine.store);
    view.show();
    QTest::keyClicks(&view.filterField(), QStringLiteral("nothing"));
    view.hide();
    QTest::qWait(AdvancedView::searchDebounceMs + 150);
    EXPECT_TRUE(view.debouncedSearch().isEmpty());
    view.show();
    EXPECT_TRUE(view.filterField().text().isEmpty());
    EXPECT_EQ(view.rowsModel().rowCount(), 5);
}

TEST(AdvancedView, SelectedRowsCopyAsKeyAndValueLines) {
    StoreWithDevices machine({GPUDevice{.name = "Radeon", .raw = {{"Bus", "PCIe"}, {"Driver", "amdgpu"}}}});
    AdvancedView view(*machine.store);
    view.show();
    auto* list = view.rowsList().listView();
    list->selectAll();
    QTest::keySequence(list, QKeySequence::Copy);
    EXPECT_EQ(testing::clipboardText(), QStringLiteral("Bus: PCIe\nDriver: amdgpu"));
}

} // namespace
} // namespace tarsik
