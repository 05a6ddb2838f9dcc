#include "ui/kit/button_styles.h"
#include "ui/kit/fitting_label.h"
#include "ui/kit/panels.h"
#include "ui/kit/text_fit.h"
#include "ui/kit/text_styles.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

TEST(FittingLabel, ShrinksDownToItsMinimumScaleBeforeCutting) {
    const FittingLabel::Style style{.font = systemFont(13), .maxLines = 1, .minScale = 0.82};
    const QString text = QStringLiteral("Navi 21 Radeon RX 6800 XT");
    const int natural = FittingLabel(text, style).sizeHint().width();

    FittingLabel roomy(text, style);
    roomy.resize(natural + 10, 30);
    roomy.show();
    EXPECT_DOUBLE_EQ(roomy.appliedScale(), 1.0);
    EXPECT_EQ(roomy.text(), text);
    roomy.setFullText(text + text);
    EXPECT_TRUE(roomy.isElided()) << "a new text is fitted anew at the same width";

    FittingLabel tight(text, style);
    tight.resize(int(natural * 0.9), 30);
    tight.show();
    EXPECT_LT(tight.appliedScale(), 1.0);
    EXPECT_GE(tight.appliedScale(), 0.82);
    EXPECT_FALSE(tight.isElided()) << "a tenth too long fits by shrinking alone";
    const auto advanceAt = [&](double scale) {
        return QFontMetricsF(scaledFont(style.font, scale)).horizontalAdvance(text);
    };
    EXPECT_LE(advanceAt(tight.appliedScale()), tight.width());
    EXPECT_GT(advanceAt(tight.appliedScale() + 0.02), tight.width()) << "the largest step that fits";

    FittingLabel narrow(text, style);
    narrow.resize(natural / 2, 30);
    narrow.show();
    EXPECT_DOUBLE_EQ(narrow.appliedScale(), 0.82);
    EXPECT_TRUE(narrow.isElided());
    EXPECT_TRUE(narrow.text().endsWith(QStringLiteral("…")));
    EXPECT_EQ(narrow.fullText(), text);
}

TEST(FittingLabel, KeepsItsLineLimitAndCutsOnlyTheLastLine) {
    const FittingLabel::Style style{.font = systemFont(13), .maxLines = 3, .minScale = 0.82};
    FittingLabel label(QStringLiteral("word ").repeated(60).trimmed(), style);
    label.resize(120, 200);
    label.show();
    EXPECT_TRUE(label.isElided());
    EXPECT_EQ(label.text().count(QLatin1Char('\n')), 1) << "the kept lines, then the cut last line";
    EXPECT_EQ(label.heightForWidth(120), 3 * QFontMetrics(label.font()).lineSpacing());
}

// A value offers Copy on right-click, of the whole value while nothing is selected, and a click
// leaves no editing caret in it.
TEST(FittingLabel, ASelectableValueCopiesFromItsMenuAndShowsNoCaret) {
    const QString value = QStringLiteral("Navi 21 Radeon RX 6800 XT");
    FittingLabel label(value, {.font = systemFont(13), .maxLines = 1, .minScale = 0.82, .selectable = true});
    label.resize(60, 30); // cut, so the label shows less than the value
    label.show();
    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_FALSE(label.textInteractionFlags() & Qt::TextSelectableByKeyboard) << "a caret would show";

    QApplication::clipboard()->clear();
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->actions().size(), 1);
        EXPECT_EQ(menu->actions().front()->text(), QStringLiteral("Copy"));
        menu->actions().front()->trigger();
        menu->close();
    });
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5), label.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&label, &rightClick);
    EXPECT_EQ(QApplication::clipboard()->text(), value);
}

TEST(Buttons, PressFadesToTheStyleOpacityAndBack) {
    GlassTabButton tab(QStringLiteral("display"), QStringLiteral("Graphics Card"));
    MetallicActionButton action(QStringLiteral("arrow.clockwise"), QStringLiteral("Refresh"), false);
    for (auto [button, pressed] : {std::pair<StyledButton*, double>{&tab, 0.965}, {&action, 0.92}}) {
        button->show();
        QTest::mousePress(button, Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return qFuzzyCompare(button->currentOpacity(), pressed); }, 2000));
        QTest::mouseRelease(button, Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return qFuzzyCompare(button->currentOpacity(), 1.0); }, 2000));
    }
}

// The menus' separators stand out from the dark menu background as clearly as the scroll handles.
TEST(Theme, MenuSeparatorsShowOnTheDarkPalette) {
    QMenu menu;
    menu.addAction(QStringLiteral("About Tarsik"));
    QAction* separator = menu.addSeparator();
    menu.addAction(QStringLiteral("New Window"));
    menu.adjustSize();
    const QImage image = menu.grab().toImage();
    const QRect area = menu.actionGeometry(separator);
    const int background = qGray(image.pixel(area.left() + 1, area.top()));
    int contrast = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            contrast = std::max(contrast, std::abs(qGray(image.pixel(x, y)) - background));
        }
    }
    EXPECT_GE(contrast, 40) << "grey levels above the background";
}

// Where the window system offers no move of its own (as here), the window follows the pointer.
TEST(Panels, DraggingTheBackgroundMovesTheWindow) {
    MetallicBackgroundView window;
    window.setGeometry(100, 100, 300, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint before = window.pos();
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(&window, QPoint(45, 35));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(45, 35));
    EXPECT_EQ(window.pos(), before + QPoint(40, 30));
}

} // namespace
} // namespace tarsik
