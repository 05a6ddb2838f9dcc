#include "ui/shell/help_window.h"
#include "ui/shell/window_presenters.h"
#include "ui/tabs/help_view.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

TEST(WindowPresenters, EachBuildsOneWindowAndLaterOnlyBringsItBack) {
    HelpWindowPresenter help({});
    AboutWindowPresenter about({});
    EXPECT_EQ(help.window(), nullptr);
    help.show();
    QWidget* const helpWindow = help.window();
    ASSERT_NE(helpWindow, nullptr);
    help.show();
    EXPECT_EQ(help.window(), helpWindow);
    EXPECT_EQ(helpWindow->windowTitle(), QStringLiteral("Tarsik Help"));
    helpWindow->showMinimized();
    help.show();
    EXPECT_FALSE(helpWindow->isMinimized()) << "choosing Help again restores a minimised window";

    about.show();
    QWidget* const aboutWindow = about.window();
    ASSERT_NE(aboutWindow, nullptr);
    EXPECT_EQ(aboutWindow->windowTitle(), QStringLiteral("About Tarsik"));
    aboutWindow->move(40, 50);
    aboutWindow->close();
    EXPECT_FALSE(aboutWindow->isVisible());
    about.show();
    EXPECT_EQ(about.window(), aboutWindow);
    EXPECT_TRUE(aboutWindow->isVisible());
    EXPECT_EQ(aboutWindow->pos(), QPoint(40, 50)) << "not centred again";
}

TEST(HelpView, TheTabAndTheWindowShowTheSameTenSections) {
    ASSERT_EQ(helpSections().size(), 10u);
    EXPECT_EQ(helpSections().front().title, QStringLiteral("Overview"));
    EXPECT_EQ(helpSections().back().title, QStringLiteral("Quit"));
    HelpView tab;
    HelpWindowContent window;
    EXPECT_EQ(tab.findChildren<QWidget*>(QStringLiteral("helpSection")).size(), 10);
    EXPECT_EQ(window.findChildren<QWidget*>(QStringLiteral("helpSection")).size(), 10);
    const auto hasText = [](const QWidget& widget, const QString& text) {
        for (const auto* label : widget.findChildren<QLabel*>()) {
            if (label->text() == text) {
                return true;
            }
        }
        return false;
    };
    const QString windowOnly = QStringLiteral("GPU and graphics information utility for macOS");
    EXPECT_TRUE(hasText(window, windowOnly));
    EXPECT_FALSE(hasText(tab, windowOnly));
}

} // namespace
} // namespace tarsik
