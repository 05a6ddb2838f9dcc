#include "ui/kit/app_theme.h"
#include "ui/kit/symbols.h"
#include "ui/tabs/graphics_card_view.h"
#include "ui/tabs/info_row.h"

#include <QLabel>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

QStringList labelTexts(const QWidget& view) {
    QStringList texts;
    for (const auto* label : view.findChildren<QLabel*>()) {
        texts << label->text();
    }
    return texts;
}

TEST(GraphicsCardView, WithoutAGPUShowsThePlaceholder) {
    GraphicsCardView view;
    view.setGPU(nullptr);
    const auto texts = labelTexts(view);
    EXPECT_TRUE(texts.contains(QStringLiteral("No GPU")));
    EXPECT_TRUE(view.findChildren<InfoRow*>().isEmpty());
}

TEST(GraphicsCardView, ShowsSevenRowsInOrderAndNoDisplaySectionWithoutDisplays) {
    const GPUDevice gpu{.name = "Radeon",
                        .chipsetModel = "Navi 21",
                        .type = "Discrete",
                        .pciDeviceID = "0x73bf",
                        .pciRevisionID = "",
                        .vram = "Unknown",
                        .metalFamily = "  "};
    GraphicsCardView view;
    view.setGPU(&gpu);
    const auto rows = view.findChildren<InfoRow*>();
    ASSERT_EQ(rows.size(), 7);
    const QStringList values = {"Navi 21", "Discrete", "0x73bf", "Unknown", "Unknown", "  ", "0"};
    for (int index = 0; index < 7; ++index) {
        EXPECT_EQ(rows[index]->shownValue(), values[index]) << index;
    }
    const auto texts = labelTexts(view);
    EXPECT_EQ(texts.indexOf(QStringLiteral("Chipset Model")) < texts.indexOf(QStringLiteral("Displays")),
              true);
    EXPECT_FALSE(texts.contains(QStringLiteral("Connected Displays")));
}

TEST(GraphicsCardView, MarksTheMainDisplayAndWarnsForAnOfflineOne) {
    const GPUDevice gpu{
        .name = "Radeon",
        .displays = {DisplayInfo{.name = "A", .resolution = "2560 x 1440", .main = true, .online = true},
                     DisplayInfo{.name = "B", .resolution = "1920 x 1080", .online = false}}};
    GraphicsCardView view;
    view.setGPU(&gpu);
    const auto texts = labelTexts(view);
    EXPECT_TRUE(texts.contains(QStringLiteral("Connected Displays")));
    EXPECT_TRUE(texts.contains(QStringLiteral("2560 x 1440 \u2022 Main")));
    EXPECT_TRUE(texts.contains(QStringLiteral("1920 x 1080")));
    EXPECT_EQ(view.findChildren<InfoRow*>().back()->shownValue(), QStringLiteral("2"));

    QStringList symbols;
    for (const auto* symbol : view.findChildren<SymbolView*>()) {
        if (symbol->symbolName() == QStringLiteral("display")) {
            EXPECT_EQ(symbol->colour(), AppTheme::accent());
        }
        if (symbol->symbolName() == QStringLiteral("display.trianglebadge.exclamationmark")) {
            EXPECT_EQ(symbol->colour(), AppTheme::warning());
        }
        symbols << symbol->symbolName();
    }
    EXPECT_EQ(symbols.count(QStringLiteral("display")), 1);
    EXPECT_EQ(symbols.count(QStringLiteral("display.trianglebadge.exclamationmark")), 1);
}

TEST(GraphicsCardView, ARefreshThatChangesNothingShownKeepsTheCardAndItsScrollPosition) {
    GPUDevice gpu{.name = "Radeon", .vram = "16 GB"};
    for (int index = 0; index < 12; ++index) {
        gpu.displays.push_back(DisplayInfo{.name = "Monitor", .resolution = "1920 x 1080", .online = true});
    }
    GraphicsCardView view;
    view.resize(400, 200);
    view.setGPU(&gpu);
    view.show();
    const QPointer<QScrollArea> scroll = view.findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    const int scrolled = scroll->verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);

    GPUDevice refreshed = gpu;
    refreshed.id = UUID::random();
    refreshed.raw["PCI Slot"] = "0000:03:00.0";
    view.setGPU(&refreshed);
    ASSERT_EQ(view.findChild<QScrollArea*>(), scroll.data());
    EXPECT_EQ(scroll->verticalScrollBar()->value(), scrolled);

    refreshed.vram = "16.5 GB";
    view.setGPU(&refreshed);
    EXPECT_TRUE(labelTexts(view).contains(QStringLiteral("16.5 GB")));
}

// A monitor changed its mode and another was unplugged; the card's other rows are as they were.
TEST(GraphicsCardView, ARefreshThatChangesOnlyTheDisplaysShowsTheNewOnes) {
    GPUDevice gpu{
        .name = "Radeon",
        .displays = {DisplayInfo{.name = "A", .resolution = "1920 x 1080", .main = true, .online = true},
                     DisplayInfo{.name = "B", .resolution = "1280 x 1024", .online = true}}};
    GraphicsCardView view;
    view.setGPU(&gpu);
    GPUDevice refreshed = gpu;
    refreshed.displays.pop_back();
    refreshed.displays.front().resolution = "2560 x 1440";
    view.setGPU(&refreshed);
    const auto texts = labelTexts(view);
    EXPECT_TRUE(texts.contains(QStringLiteral("2560 x 1440 \u2022 Main")));
    EXPECT_FALSE(texts.contains(QStringLiteral("1280 x 1024")));
    EXPECT_EQ(view.findChildren<InfoRow*>().back()->shownValue(), QStringLiteral("1"));
}

} // namespace
} // namespace tarsik
