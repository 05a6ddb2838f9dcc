#include "ui/tabs/graphics_card_view.h"

#include "ui/kit/accessibility.h"
#include "ui/kit/app_theme.h"
#include "ui/kit/fitting_label.h"
#include "ui/kit/panels.h"
#include "ui/kit/symbols.h"
#include "ui/kit/text_styles.h"
#include "ui/tabs/info_row.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tarsik {
namespace {

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

QWidget* displayRow(const DisplayInfo& display) {
    auto* row = new OutlinedBox(AppTheme::row(), AppTheme::border());
    row->setObjectName(QStringLiteral("displayRow"));
    const QString symbol =
        display.online ? QStringLiteral("display") : QStringLiteral("display.trianglebadge.exclamationmark");
    auto* icon = new SymbolView(symbol, 18, display.online ? AppTheme::accent() : AppTheme::warning());

    QString details = qt(display.resolution);
    if (display.main) {
        details += QStringLiteral(" \u2022 Main");
    }
    auto* lines = new QVBoxLayout;
    lines->setSpacing(2);
    lines->addWidget(new FittingLabel(qt(display.name), {.font = textFont(TextStyle::Body, QFont::DemiBold),
                                                         .colour = AppTheme::textPrimary(),
                                                         .maxLines = 1,
                                                         .minScale = 0.82}));
    lines->addWidget(new FittingLabel(details, {.font = textFont(TextStyle::Body),
                                                .colour = AppTheme::textSecondary(),
                                                .maxLines = 2,
                                                .minScale = 0.82}));

    setAccessibleRole(row, QAccessible::ListItem);
    row->setAccessibleName(qt(display.name) + QStringLiteral(": ") + details +
                           (display.online ? QString() : QStringLiteral(", offline")));

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(icon, 0, Qt::AlignVCenter);
    layout->addLayout(lines, 1);
    return row;
}

// Whether two records show the same card. A refresh hands over a new record (a new id, more raw
// properties) even when nothing on the card changed; the card is then kept as it is, with its
// scroll position and any text the user has selected.
bool showSameCard(const GPUDevice& a, const GPUDevice& b) {
    return a.name == b.name && a.chipsetModel == b.chipsetModel && a.type == b.type &&
           a.pciDeviceID == b.pciDeviceID && a.pciRevisionID == b.pciRevisionID && a.vram == b.vram &&
           a.metalFamily == b.metalFamily && a.displays == b.displays;
}

} // namespace

GraphicsCardView::GraphicsCardView(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    rebuild();
}

void GraphicsCardView::setGPU(const GPUDevice* gpu) {
    std::optional<GPUDevice> next;
    if (gpu != nullptr) {
        next = *gpu;
    }
    const bool same = next && gpu_ ? showSameCard(*next, *gpu_) : next.has_value() == gpu_.has_value();
    if (same && content_ != nullptr) {
        return;
    }
    gpu_ = std::move(next);
    rebuild();
}

void GraphicsCardView::rebuild() {
    delete content_;
    if (gpu_) {
        auto* scroll = new QScrollArea;
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->setWidget(buildCard(*gpu_));
        scroll->viewport()->setAutoFillBackground(false);
        setAccessibleRole(scroll, QAccessible::Pane);
        scroll->setAccessibleName(QStringLiteral("Graphics card"));
        content_ = scroll;
    } else {
        content_ = new UnavailableStateView(QStringLiteral("No GPU"), QStringLiteral("cpu"),
                                            QStringLiteral("Click Refresh to collect GPU information."));
    }
    layout()->addWidget(content_);
}

QWidget* GraphicsCardView::buildCard(const GPUDevice& gpu) {
    auto* card = new QWidget;
    card->setAutoFillBackground(false);
    auto* stack = new QVBoxLayout(card);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(7);

    auto* heading = new QHBoxLayout;
    auto* name = new FittingLabel(qt(gpu.name), {.font = textFont(TextStyle::Title2, QFont::Bold),
                                                 .colour = AppTheme::textPrimary(),
                                                 .maxLines = 2,
                                                 .minScale = 0.82,
                                                 .selectable = true});
    name->setObjectName(QStringLiteral("gpuName"));
    heading->addWidget(name, 1, Qt::AlignTop);
    heading->addWidget(
        new SymbolView(QStringLiteral("display.and.arrow.down"), 34, withOpacity(AppTheme::accent(), 0.82)),
        0, Qt::AlignTop);
    stack->addLayout(heading);

    auto* divider = new QVBoxLayout;
    divider->setContentsMargins(0, 3, 0, 3);
    divider->addWidget(new Divider(Qt::Horizontal, 1.0));
    stack->addLayout(divider);

    const std::pair<const char*, QString> rows[] = {
        {"Chipset Model", qt(gpu.chipsetModel)},
        {"GPU Type", qt(gpu.type)},
        {"Device ID", qt(gpu.pciDeviceID)},
        {"Revision ID", qt(gpu.pciRevisionID)},
        {"Memory Size", qt(gpu.vram)},
        {"Metal", qt(gpu.metalFamily)},
        {"Displays", QString::number(gpu.displays.size())},
    };
    for (const auto& [title, value] : rows) {
        stack->addWidget(new InfoRow(QString::fromUtf8(title), value));
    }

    if (!gpu.displays.empty()) {
        auto* heading2 =
            new FittingLabel(QStringLiteral("Connected Displays"),
                             {.font = textFont(TextStyle::Headline), .colour = AppTheme::textPrimary()});
        heading2->setContentsMargins(0, 8, 0, 0);
        stack->addWidget(heading2);
        for (const auto& display : gpu.displays) {
            stack->addWidget(displayRow(display));
        }
    }
    stack->addStretch(1);
    return card;
}

} // namespace tarsik
