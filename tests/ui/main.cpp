#include "store/fake_async_collector.h"
#include "ui/kit/app_theme.h"

#include <QApplication>
#include <gtest/gtest.h>

// Widgets need an application object and its event loop; the offscreen platform comes from CTest,
// and also when CTest lists the cases at build time.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    tarsik::applyAppTheme();
    ::testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    // Let the tasks the tests left waiting end, so that the leak check sees only real leaks.
    tarsik::testing::FakeAsyncCollector::cancelAllUnreleased();
    for (int pass = 0; pass < 10; ++pass) {
        QCoreApplication::processEvents();
    }
    return failed;
}
