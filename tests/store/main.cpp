#include <QCoreApplication>
#include <gtest/gtest.h>

// The store resumes its tasks from the event loop, so its tests need an application object.
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
