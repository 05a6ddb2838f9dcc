#include "ui/tabs/help_view.h"

#include "ui/kit/accessibility.h"
#include "ui/kit/app_theme.h"
#include "ui/kit/fitting_label.h"
#include "ui/kit/panels.h"
#include "ui/kit/symbols.h"
#include "ui/kit/text_styles.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tarsik {
namespace {

QWidget* sectionView(const HelpSection& section) {
    auto* box = new OutlinedBox(AppTheme::row(), AppTheme::border());
    box->setObjectName(QStringLiteral("helpSection"));
    auto* tile = new OutlinedBox(AppTheme::control(), Qt::transparent);
    tile->setFixedSize(26, 26);
    auto* tileLayout = new QVBoxLayout(tile);
    tileLayout->setContentsMargins(0, 0, 0, 0);
    tileLayout->addWidget(new SymbolView(section.icon, 16, AppTheme::accent()), 0, Qt::AlignCenter);

    auto* text = themedLabel(section.text, textFont(TextStyle::Callout), AppTheme::textSecondary());
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto* column = new QVBoxLayout;
    column->setSpacing(5);
    column->addWidget(themedLabel(section.title, textFont(TextStyle::Headline), AppTheme::textPrimary()));
    column->addWidget(text);

    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(12, 12, 12, 12);
    row->setSpacing(10);
    row->addWidget(tile, 0, Qt::AlignTop);
    row->addLayout(column, 1);
    return box;
}

} // namespace

const std::vector<HelpSection>& helpSections() {
    static const std::vector<HelpSection> sections{
        {"Overview", "info.circle",
         "Tarsik is a macOS graphics information utility. It shows GPU identification, VRAM, Metal support, "
         "connected displays, GPU sensor readings when available, advanced IORegistry/System Profiler "
         "properties, "
         "and a validation report for support or forum posts."},
        {"Graphics Card", "display",
         "The Graphics Card tab shows the selected GPU model, chipset, GPU type, Device ID, Revision ID, "
         "memory "
         "size, Metal support, and connected displays. Startup is optimized: the app first loads fast Metal "
         "data, "
         "then completes richer system information in the background."},
        {"Sensors", "waveform.path.ecg",
         "The Sensors tab shows real GPU telemetry when macOS exposes it. For supported AMD cards, Tarsik "
         "reads "
         "clean values from AMD GraphicsAccelerator PerformanceStatistics, including temperature, total "
         "power, fan "
         "speed, core clock, memory clock, and GPU load. Intel iGPU and Apple Silicon temperature are "
         "attempted "
         "through trusted GPU/iGPU/AGX IORegistry providers and SMC fallback when available. Unsupported or "
         "unavailable sensors are hidden instead of showing unrelated system values."},
        {"Advanced", "slider.horizontal.3",
         "The Advanced tab exposes raw GPU-related properties collected from macOS. Use the filter field to "
         "search "
         "for device properties, Metal fields, display data, and driver/provider information."},
        {"Validation", "checkmark.seal",
         "The Validation tab creates a compact report with the selected GPU and display information. Use "
         "Copy "
         "Report when sharing diagnostics with support, forums, or development testing."},
        {"Refresh and Idle Use", "arrow.clockwise.circle",
         "Tarsik does not run a background polling timer. It refreshes once at startup and again only when "
         "you "
         "press Refresh or choose another GPU. This keeps idle CPU, memory, disk, and network usage low."},
        {"Supported GPU Sensors", "bolt.horizontal.circle",
         "The AMD sensor filter targets Radeon RX 550, RX 560, RX 570, RX 580, RX 590, RX 6600, RX 6650, RX "
         "6700, "
         "RX 6800, RX 6900, RX 6950, Radeon Vega 56, Radeon Vega 64, and Radeon VII when their macOS AMD "
         "driver "
         "exposes PerformanceStatistics or PerformanceStatisticsAccum entries. Intel iGPU and Apple Silicon "
         "temperature are shown only when macOS exposes a trusted GPU temperature provider."},
        {"External Components and Tools", "wrench.and.screwdriver",
         "Tarsik does not bundle third-party update frameworks. The app reads local macOS information from "
         "Metal, "
         "IOKit/IORegistry, and system_profiler. Releases are built with CMake, Ninja and GCC against Qt 6 "
         "and "
         "installed with CMake's install step."},
        {"Privacy and Permissions", "lock.shield",
         "Tarsik does not request Camera, Microphone, Location, Accessibility, Apple Events, privileged "
         "helper, "
         "launch daemon, login item, or update-service permissions. It reads public macOS system information "
         "and "
         "IORegistry data locally. It does not collect, send, upload, or store user data. The PayPal button "
         "opens "
         "the donation page only when clicked."},
        {"Quit", "power.circle",
         "Quit from the application menu or press Command-Q to terminate Tarsik. Closing the last app window "
         "also "
         "exits the app, so it does not remain running in the background unnecessarily."},
    };
    return sections;
}

HelpView::HelpView(QWidget* parent) : QScrollArea(parent) {
    setAccessibleRole(this, QAccessible::Document);
    setAccessibleName(QStringLiteral("Help"));
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* title =
        new FittingLabel(QStringLiteral("Tarsik Help"), {.font = textFont(TextStyle::Title3, QFont::Bold),
                                                         .colour = AppTheme::textPrimary(),
                                                         .maxLines = 1,
                                                         .minScale = 0.8});
    auto* subtitle = new FittingLabel(
        QStringLiteral("What this app does and how to read the information."),
        {.font = textFont(TextStyle::Subheadline), .colour = AppTheme::textSecondary(), .maxLines = 2});
    auto* titles = new QVBoxLayout;
    titles->setSpacing(4);
    titles->addWidget(title);
    titles->addWidget(subtitle);
    auto* header = new QHBoxLayout;
    header->setSpacing(10);
    header->addWidget(new SymbolView(QStringLiteral("questionmark.circle.fill"), 30, AppTheme::accent(), 36));
    header->addLayout(titles, 1);

    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 1, 0, 1);
    column->setSpacing(14);
    column->addLayout(header);
    for (const auto& section : helpSections()) {
        column->addWidget(sectionView(section));
    }
    column->addStretch(1);
    setWidget(content);
    viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
}

} // namespace tarsik
