#include "ui/shell/header_view.h"

#include "store/gpu_store.h"
#include "ui/kit/app_theme.h"
#include "ui/kit/button_styles.h"
#include "ui/kit/fitting_label.h"
#include "ui/kit/status_square.h"
#include "ui/kit/symbols.h"
#include "ui/kit/text_styles.h"
#include "ui/shell/project_links.h"
#include "ui/shell/window_controls.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLocale>
#include <QRegularExpression>
#include <QUrl>
#include <QVBoxLayout>

namespace tarsik {
namespace {

QWidget* iconTile() {
    auto* tile = new OutlinedBox(AppTheme::control(), AppTheme::borderStrong());
    tile->setFixedSize(48, 48);
    auto* layout = new QHBoxLayout(tile);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new SymbolView("display.and.arrow.down", 24, AppTheme::accent()), 0, Qt::AlignCenter);
    return tile;
}

} // namespace

HeaderView::HeaderView(GPUStore& store, QWidget* parent)
    : MetallicPanel(parent), store_(store), chip_(new OutlinedBox(AppTheme::row(), AppTheme::border())),
      chipSquare_(new StatusSquare(6)),
      chipTime_(new FittingLabel(
          {}, {.font = textFont(TextStyle::Caption, QFont::Medium), .colour = AppTheme::textTertiary()})),
      refresh_(new MetallicActionButton("arrow.clockwise", "Refresh", false)) {
    auto* title = new FittingLabel(
        "Tarsik", {.font = systemFont(26, QFont::Bold), .colour = AppTheme::textPrimary(), .minScale = 0.82});
    auto* subtitle = new FittingLabel(
        "GPU & Graphics Information Utility",
        {.font = textFont(TextStyle::Subheadline), .colour = AppTheme::textSecondary(), .minScale = 0.78});
    auto* titles = new QVBoxLayout;
    titles->setSpacing(2);
    titles->addWidget(title);
    titles->addWidget(subtitle);

    auto* chipLayout = new QHBoxLayout(chip_);
    chipLayout->setContentsMargins(8, 5, 8, 5);
    chipLayout->setSpacing(6);
    chipLayout->addWidget(chipSquare_, 0, Qt::AlignVCenter);
    chipLayout->addWidget(chipTime_);

    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    top->addWidget(iconTile());
    top->addLayout(titles, 1);
    top->addStretch();
    top->addWidget(chip_, 0, Qt::AlignTop);
    if (ownWindowControls()) {
        top->addWidget(new WindowControls(true, true), 0, Qt::AlignTop);
    }

    refresh_->setMinimumLabelWidth(96);
    connect(refresh_, &QAbstractButton::clicked, &store_, &GPUStore::requestRefresh);
    auto* donate = new MetallicActionButton("heart.fill", "PayPal", true);
    donate->setMinimumLabelWidth(92);
    donate->setToolTip("Open the PayPal donation page in your browser.");
    connect(donate, &QAbstractButton::clicked, this, [] {
        const QUrl page(ProjectLinks::donationPage, QUrl::StrictMode);
        if (page.isValid()) {
            QDesktopServices::openUrl(page);
        }
    });
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addStretch();
    buttons->addWidget(refresh_);
    buttons->addWidget(donate);

    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(14, 14, 14, 14);
    rows->setSpacing(9);
    rows->addLayout(top);
    rows->addLayout(buttons);

    connect(&store_, &GPUStore::isRefreshingChanged, this, &HeaderView::update);
    connect(&store_, &GPUStore::lastRefreshChanged, this, &HeaderView::update);
    update();
}

QString HeaderView::chipText() const {
    return chipTime_->fullText();
}

void HeaderView::update() {
    const bool refreshing = store_.isRefreshing();
    refresh_->setSymbol(refreshing ? "arrow.triangle.2.circlepath.circle.fill" : "arrow.clockwise");
    refresh_->setText(refreshing ? "Refreshing" : "Refresh");
    refresh_->setEnabled(!refreshing);
    chipSquare_->setRefreshing(refreshing);
    const auto& last = store_.lastRefresh();
    chip_->setVisible(last.has_value());
    if (last) {
        // The locale's short time without seconds: hours and minutes only.
        static const QRegularExpression seconds(QStringLiteral("[:.]?s+"));
        const auto format = QLocale::system().timeFormat(QLocale::ShortFormat).remove(seconds);
        chipTime_->setFullText(QLocale::system().toString(last->time(), format));
    }
}

} // namespace tarsik
