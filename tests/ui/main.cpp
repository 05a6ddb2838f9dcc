#include "ui/kit/app_theme.h"

#include <QApplication>
#include <gtest/gtest.h>

// Widgets need an application object and its event loop; the offscreen platform comes from CTest.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    tarsik::applyAppTheme();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
