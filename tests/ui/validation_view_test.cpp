#include "ui/tabs/validation_view.h"
#include "ui_fixture.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

using testing::StoreWithDevices;

GPUDevice radeon(std::vector<DisplayInfo> displays = {}) {
    return GPUDevice{.name = "Radeon", .vendor = "AMD", .vram = "16 GB", .displays = std::move(displays)};
}

// The report's form is the texts' own; the tab stamps it with its own time and copies exactly
// what it shows.
TEST(ValidationView, TheReportCarriesTheTabsTimeStampAndIsCopiedAsShown) {
    StoreWithDevices machine({radeon({DisplayInfo{.name = "A", .resolution = "2560 x 1440"}})});
    ValidationView view(*machine.store);
    view.show();
    const auto lines = view.currentReport().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 13);
    EXPECT_EQ(lines[1], QStringLiteral("Generated: ") +
                            view.generatedAt().toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                            QStringLiteral(" +0000"));
    view.copyReport();
    EXPECT_EQ(testing::clipboardText(), view.currentReport());
}

TEST(ValidationView, WithoutAGPUTheReportIsOneLine) {
    StoreWithDevices machine({});
    ValidationView view(*machine.store);
    view.show();
    EXPECT_EQ(view.currentReport(), QStringLiteral("No GPU detected"));
    view.copyReport();
    EXPECT_EQ(testing::clipboardText(), QStringLiteral("No GPU detected"));
}

TEST(ValidationView, CopiedLastsUntilAFullIntervalAfterTheLastPress) {
    StoreWithDevices machine({radeon()});
    ValidationView view(*machine.store);
    view.show();
    const auto* button = view.findChild<QPushButton*>();
    const QRect before = button->geometry();
    view.copyReport();
    QCoreApplication::processEvents();
    EXPECT_EQ(view.buttonLabel(), QStringLiteral("Copied"));
    EXPECT_EQ(button->geometry(), before) << "the button keeps its place and width";
    QTest::qWait(700);
    view.copyReport();
    QElapsedTimer sinceSecondPress;
    sinceSecondPress.start();
    EXPECT_EQ(view.buttonLabel(), QStringLiteral("Copied"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.buttonLabel() == QStringLiteral("Copy Report"); }, 6000));
    EXPECT_GE(sinceSecondPress.elapsed(), ValidationView::copiedResetMs - 5)
        << "the first press's reset must not end the confirmation";
}

TEST(ValidationView, LeavingTheTabCancelsThePendingReset) {
    StoreWithDevices machine({radeon()});
    ValidationView view(*machine.store);
    view.show();
    view.copyReport();
    view.hide();
    QTest::qWait(ValidationView::copiedResetMs + 300);
    EXPECT_EQ(view.buttonLabel(), QStringLiteral("Copied")) << "no reset ran after the tab went away";
    view.show();
    EXPECT_EQ(view.buttonLabel(), QStringLiteral("Copy Report"));
}

TEST(ValidationView, AnotherGPUGetsANewReportTheSameGPUKeepsIt) {
    StoreWithDevices machine({radeon(), GPUDevice{.name = "Intel"}});
    ValidationView view(*machine.store);
    view.show();
    QTest::qWait(1100); // time stamps have whole seconds
    const QString first = view.currentReport();
    machine.store->selectGPU(machine.store->devices()[0].id);
    EXPECT_EQ(view.currentReport(), first);

    machine.store->selectGPU(machine.store->devices()[1].id);
    EXPECT_TRUE(view.currentReport().contains(QStringLiteral("\nGPU: Intel\n")));
    EXPECT_NE(view.currentReport().section(QLatin1Char('\n'), 1, 1), first.section(QLatin1Char('\n'), 1, 1));
}

} // namespace
} // namespace tarsik
