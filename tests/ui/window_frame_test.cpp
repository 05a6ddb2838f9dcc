#include "ui/shell/window_frame.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

const QList<QRect> oneScreen{QRect(0, 0, 1920, 1050)};

TEST(WindowFrame, StringFormRoundTrips) {
    EXPECT_EQ(frameString(QRect(100, 80, 760, 540)), "{{100, 80}, {760, 540}}");
    EXPECT_EQ(parseFrameString("{{100, 80}, {760, 540}}"), QRectF(100, 80, 760, 540));
    EXPECT_EQ(parseFrameString(" { {-5.5,3},{600 , 460} } "), QRectF(-5.5, 3, 600, 460));
    for (const char* garbage :
         {"", "garbage", "{{1, 2}, {3}}", "{{1, 2}, {3, 4}, {5, 6}}", "{{a, b}, {c, d}}",
          "{{nan, 0}, {800, 600}}", "{{0, 0}, {inf, 600}}", "{{1, 2}, {3, 4}} tail"}) {
        EXPECT_EQ(parseFrameString(garbage), QRectF()) << garbage;
    }
}

TEST(WindowFrame, RestoreRules) {
    EXPECT_FALSE(restorableFrame("", oneScreen)) << "no key: centred";
    EXPECT_FALSE(restorableFrame("{{100, 100}, {500, 500}}", oneScreen)) << "narrower than 600";
    EXPECT_FALSE(restorableFrame("{{100, 100}, {800, 459}}", oneScreen)) << "lower than 460";
    EXPECT_EQ(restorableFrame("{{100, 100}, {600, 460}}", oneScreen), QRect(100, 100, 600, 460));
    EXPECT_FALSE(restorableFrame("{{3000, 100}, {800, 600}}", oneScreen)) << "on a screen that is gone";
    EXPECT_EQ(restorableFrame("{{1915, 1045}, {800, 600}}", oneScreen), QRect(1915, 1045, 800, 600))
        << "a thin overlap is restored as it is";
    EXPECT_EQ(restorableFrame("{{-100, -50}, {4000, 3000}}", oneScreen), QRect(-100, -50, 4000, 3000))
        << "no clamping to the screen";
    EXPECT_EQ(
        restorableFrame("{{3000, 100}, {800, 600}}", {QRect(0, 0, 1920, 1050), QRect(1920, 0, 2560, 1410)}),
        QRect(3000, 100, 800, 600));
    EXPECT_FALSE(restorableFrame("not a rectangle", oneScreen));
    EXPECT_FALSE(restorableFrame("{{1e300, 0}, {800, 600}}", oneScreen));
}

TEST(WindowFrame, CentringCentresTheDecoratedFrame) {
    const QMargins titleBar(1, 28, 1, 4);
    const QRect window = centredWindow(QSize(760, 540), titleBar, oneScreen.front());
    EXPECT_EQ(window.size(), QSize(760, 540));
    const QRect frame = window.marginsAdded(titleBar);
    EXPECT_LE((frame.center() - oneScreen.front().center()).manhattanLength(), 1);
}

struct KeeperFixture : ::testing::Test {
    QTemporaryDir folder;
    QSettings settings{folder.filePath("settings.ini"), QSettings::IniFormat};
    QWidget window;
};

TEST_F(KeeperFixture, ManyResizesWriteOnceAfterTheQuietPeriodAndCloseWritesAtOnce) {
    WindowFrameKeeper keeper(&window, settings);
    window.resize(760, 540);
    keeper.restore();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(300);
    EXPECT_FALSE(settings.contains(windowFrameKey)) << "placing the window is no move of the user's";

    for (int i = 0; i < 20; ++i) {
        window.resize(700 + i, 500 + i);
        QCoreApplication::processEvents();
    }
    EXPECT_FALSE(settings.contains(windowFrameKey)) << "nothing written while resizing";
    QTest::qWait(350);
    EXPECT_EQ(parseFrameString(settings.value(windowFrameKey).toString()).size(), QSizeF(719, 519));

    window.resize(800, 600);
    QTest::qWait(50);
    window.close();
    EXPECT_EQ(parseFrameString(settings.value(windowFrameKey).toString()).size(), QSizeF(800, 600))
        << "the close saves at once";
    QTest::qWait(300);
}

// Launching writes nothing: a restored frame stays as saved, and so does one too small to use.
TEST_F(KeeperFixture, LaunchingKeepsTheSavedValueAndAHiddenWindowNeverWrites) {
    const std::pair<const char*, QRect> launches[] = {{"{{10, 20}, {640, 480}}", QRect(10, 20, 640, 480)},
                                                      {"{{10, 20}, {500, 500}}", QRect()}};
    for (const auto& [saved, restored] : launches) {
        settings.setValue(windowFrameKey, saved);
        QWidget launched;
        launched.resize(760, 540);
        WindowFrameKeeper keeper(&launched, settings);
        keeper.restore();
        launched.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&launched));
        QTest::qWait(300);
        EXPECT_EQ(settings.value(windowFrameKey).toString(), saved);
        if (restored.isValid()) {
            EXPECT_EQ(launched.geometry(), restored);
        }
    }

    settings.setValue(windowFrameKey, "{{10, 20}, {640, 480}}");
    WindowFrameKeeper keeper(&window, settings);
    keeper.restore();
    window.resize(900, 700); // not visible: nothing is written
    QTest::qWait(300);
    EXPECT_EQ(settings.value(windowFrameKey).toString(), "{{10, 20}, {640, 480}}");

    // Minimised and then moved, as a desktop may do with its icons: the frame is not the user's.
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.isMinimized(); }, 1000));
    window.move(300, 200);
    QTest::qWait(400);
    EXPECT_EQ(settings.value(windowFrameKey).toString(), "{{10, 20}, {640, 480}}");
}

} // namespace
} // namespace tarsik
