#include "ui/shell/about_window.h"
#include "ui/shell/help_window.h"
#include "ui/shell/window_presenters.h"
#include "ui/tabs/help_view.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

TEST(WindowPresenters, EachBuildsOneWindowAndLaterOnlyBringsItBack) {
    HelpWindowPresenter help({});
    AboutWindowPresenter about({});
    help.show();
    QWidget* const helpWindow = help.window();
    ASSERT_NE(helpWindow, nullptr);
    help.show();
    EXPECT_EQ(help.window(), helpWindow);
    helpWindow->showMinimized();
    help.show();
    EXPECT_FALSE(helpWindow->isMinimized()) << "choosing Help again restores a minimised window";

    about.show();
    QWidget* const aboutWindow = about.window();
    ASSERT_NE(aboutWindow, nullptr);
    aboutWindow->move(40, 50);
    aboutWindow->close();
    about.show();
    EXPECT_EQ(about.window(), aboutWindow);
    EXPECT_TRUE(aboutWindow->isVisible());
    EXPECT_EQ(aboutWindow->pos(), QPoint(40, 50)) << "not centred again";
}

// A window larger than the screen (at a large scale factor), opened from another window, is
// built to fit the screen whole, framed as that window is.
TEST(WindowPresenters, AWindowTooLargeForTheScreenFitsItWhole) {
    QWidget opener;
    opener.show();
    opener.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&opener));
    const QRect screen = QApplication::primaryScreen()->availableGeometry();
    WindowPresenter presenter({.title = QStringLiteral("Large"),
                               .size = screen.size() + QSize(100, 100),
                               .makeContent = [] { return new QWidget; },
                               .addMenus = [](QMenuBar& bar) { bar.addMenu(QStringLiteral("Menu")); }});
    presenter.show();
    EXPECT_TRUE(screen.contains(presenter.window()->frameGeometry()));
}

// Line breaking allows a break after "/" and "-"; the credits keep "nlohmann/json" and every
// other word whole at any width.
TEST(AboutWindow, TheCreditsLineBreaksOnlyBetweenWords) {
    AboutWindowContent about;
    const auto* credits = about.findChild<QLabel*>(QStringLiteral("credits"));
    ASSERT_NE(credits, nullptr);
    const QString text = credits->text();
    for (int width = 160; width <= 480; ++width) {
        QTextLayout layout(text, credits->font());
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            const int end = line.textStart() + line.textLength();
            EXPECT_TRUE(end == text.size() || text.at(end - 1) == QLatin1Char(' '))
                << text.left(end).toStdString() << " at " << width;
        }
        layout.endLayout();
    }
}

TEST(HelpView, TheTabAndTheWindowShowEverySection) {
    const auto sections = static_cast<qsizetype>(helpSections().size());
    ASSERT_GT(sections, 1);
    HelpView tab;
    HelpWindowContent window;
    EXPECT_EQ(tab.findChildren<QWidget*>(QStringLiteral("helpSection")).size(), sections);
    EXPECT_EQ(window.findChildren<QWidget*>(QStringLiteral("helpSection")).size(), sections);
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
