#include "ui/shell/footer_status_view.h"

#include "store/gpu_store.h"
#include "ui/kit/app_theme.h"
#include "ui/kit/fitting_label.h"
#include "ui/kit/status_square.h"
#include "ui/kit/text_styles.h"

#include <QHBoxLayout>

namespace tarsik {
namespace {

FittingLabel* caption(const QString& text, QFont::Weight weight, const QColor& colour) {
    return new FittingLabel(text, {.font = textFont(TextStyle::Caption, weight), .colour = colour});
}

} // namespace

FooterStatusView::FooterStatusView(GPUStore& store, QWidget* parent)
    : MetallicPanel(parent), store_(store), square_(new StatusSquare(8)),
      status_(caption("Ready", QFont::Medium, AppTheme::textSecondary())),
      count_(caption("0", QFont::Medium, AppTheme::textSecondary())) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 8, 12, 8);
    row->setSpacing(8);
    row->addWidget(square_, 0, Qt::AlignVCenter);
    row->addWidget(caption("Status:", QFont::DemiBold, AppTheme::accent()));
    row->addWidget(status_);
    auto* divider = new Divider(Qt::Vertical, 0.22);
    divider->setFixedHeight(12);
    row->addWidget(divider, 0, Qt::AlignVCenter);
    row->addWidget(caption("GPUs:", QFont::DemiBold, AppTheme::accent()));
    row->addWidget(count_);
    row->addStretch();
    row->addWidget(caption("Tarsik v1.5", QFont::Medium, AppTheme::textTertiary()));

    connect(&store_, &GPUStore::isRefreshingChanged, this, &FooterStatusView::update);
    connect(&store_, &GPUStore::devicesChanged, this, &FooterStatusView::update);
    update();
}

QString FooterStatusView::statusText() const {
    return status_->fullText();
}
QString FooterStatusView::countText() const {
    return count_->fullText();
}

void FooterStatusView::update() {
    square_->setRefreshing(store_.isRefreshing());
    status_->setFullText(store_.isRefreshing() ? "Refreshing" : "Ready");
    count_->setFullText(QString::number(store_.devices().size()));
}

} // namespace tarsik
