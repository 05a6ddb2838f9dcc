#include "ui/shell/app_theme.h"

#include <QApplication>
#include <gtest/gtest.h>

// Widgets need an application object and its event loop; the offscreen platform comes from CTest,
// and also when CTest lists the cases at build time.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    tarsik::applyAppTheme(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
