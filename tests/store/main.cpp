#include "store/fake_async_collector.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

// The store resumes its tasks from the event loop, so its tests need an application object.
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    // Let the tasks the tests left waiting end, so that the leak check sees only real leaks.
    tarsik::testing::FakeAsyncCollector::cancelAllUnreleased();
    for (int pass = 0; pass < 10; ++pass) {
        QCoreApplication::processEvents();
    }
    return failed;
}
