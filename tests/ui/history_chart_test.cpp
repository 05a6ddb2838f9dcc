#include "ui/kit/history_chart.h"

#include <gtest/gtest.h>

namespace tarsik {
namespace {

// Five minutes over the chart's width, a point a second, the newest at the right edge.
std::vector<HistoryChart::Point> everySecond(int count, double newestSecondsAgo, double (*value)(int)) {
    std::vector<HistoryChart::Point> points;
    for (int i = count - 1; i >= 0; --i) {
        points.push_back({newestSecondsAgo + i, value(i)});
    }
    return points;
}

// A picture that looks the same compares the same, so a reading that stays level repaints only when
// its line has moved a pixel; a pause breaks the line; only the points shown set the height.
TEST(HistoryChart, StrokesChangeOnlyWithThePicture) {
    HistoryChart chart(300, 3);
    chart.resize(240, 22);
    const auto level = [](int) { return 50.0; };
    chart.setPoints(everySecond(305, 0, level));
    const auto full = chart.strokes();
    ASSERT_EQ(full.size(), 1u);
    EXPECT_EQ(full[0].size(), 2) << "a level run is its two ends";
    EXPECT_EQ(full[0], QPolygonF({QPointF(2, 11), QPointF(238, 11)})) << "edge to edge, mid-height";
    chart.setPoints(everySecond(306, 0, level));
    EXPECT_EQ(chart.strokes(), full) << "a second later, the span still full";

    chart.setPoints({{200, 10}, {199, 99}, {20, 30}, {19, 30}, {400, 1000}});
    const auto& broken = chart.strokes();
    ASSERT_EQ(broken.size(), 2u);
    EXPECT_EQ(broken[0].front().y(), 20) << "10 at the bottom: the 1000 past the span sets nothing";
    EXPECT_EQ(broken[0].back().y(), 2);
    EXPECT_EQ(broken[1].size(), 2);
}

} // namespace
} // namespace tarsik
