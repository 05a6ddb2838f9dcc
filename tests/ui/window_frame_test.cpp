#include "ui/shell/window_frame.h"

#include <QCoreApplication>
#include <QScreen>
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

// At 2x on a 1080p screen the ideal window is taller than the screen: it is shrunk and placed so
// that the title bar stays on the screen, and a frame that does not fit is never saved.
TEST(WindowFrame, WindowsFitTheScreenWithTheirTitleBarAndOnlyFittingFramesAreSaved) {
    const QRect halfHD(0, 0, 960, 540);
    const QMargins titleBar(1, 28, 1, 4);
    const QRect centred = centredWindow(QSize(760, 561), titleBar, halfHD);
    EXPECT_TRUE(halfHD.contains(centred.marginsAdded(titleBar))) << centred.y();
    EXPECT_EQ(centred.size(), QSize(760, 540 - 32));

    for (const QRect saved :
         {QRect(-100, -14, 1520, 1122), QRect(900, 500, 600, 460), QRect(100, 0, 600, 460)}) {
        const QRect fitted = fittedWindow(saved, titleBar, {halfHD});
        EXPECT_TRUE(halfHD.contains(fitted.marginsAdded(titleBar))) << fitted.x() << "," << fitted.y();
        EXPECT_EQ(fitted.size(), saved.size().boundedTo(QSize(958, 508)));
    }
    EXPECT_EQ(fittedWindow(QRect(2000, 100, 800, 600), titleBar, {halfHD, QRect(1920, 0, 2560, 1410)}),
              QRect(2000, 100, 800, 600))
        << "whole on the second screen, so left where it is";

    EXPECT_EQ(frameToSave(QRect(100, 100, 760, 400), titleBar, {halfHD}, std::nullopt),
              QRect(100, 100, 760, 400));
    EXPECT_FALSE(frameToSave(QRect(100, 100, 760, 600), titleBar, {halfHD}, std::nullopt)) << "too tall";
    EXPECT_FALSE(frameToSave(QRect(100, 10, 760, 400), titleBar, {halfHD}, std::nullopt)) << "title bar off";
    // Wayland: the window always reads as placed at 0, 0; the saved origin stays, the size is new.
    EXPECT_EQ(frameToSave(QRect(0, 0, 760, 400), titleBar, {halfHD}, QPoint(150, 60)),
              QRect(150, 60, 760, 400));
    EXPECT_FALSE(frameToSave(QRect(0, 0, 760, 600), titleBar, {halfHD}, QPoint(150, 60)));
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

    window.resize(760, 560);
    QTest::qWait(50);
    window.close();
    EXPECT_EQ(parseFrameString(settings.value(windowFrameKey).toString()).size(), QSizeF(760, 560))
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

    // Saved larger than the screen: restored to fit it, and that is no move of the user's either.
    settings.setValue(windowFrameKey, "{{-100, -14}, {1520, 1122}}");
    {
        QWidget launched;
        WindowFrameKeeper keeper(&launched, settings);
        keeper.restore();
        launched.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&launched));
        EXPECT_TRUE(launched.screen()->availableGeometry().contains(launched.frameGeometry()))
            << launched.frameGeometry().width() << "x" << launched.frameGeometry().height();
        QTest::qWait(300);
        EXPECT_EQ(settings.value(windowFrameKey).toString(), "{{-100, -14}, {1520, 1122}}");
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
