#include "ui/tabs/info_row.h"

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

InfoRow::InfoRow(const QString& title, const QString& value, QWidget* parent) : QWidget(parent) {
    auto* titleLabel = new FittingLabel(title, {.font = textFont(TextStyle::Body),
                                                .colour = AppTheme::textSecondary(),
                                                .maxLines = 2,
                                                .minScale = 0.82});
    titleLabel->setMinimumWidth(96);
    titleLabel->setIdealWidth(132);
    titleLabel->setMaximumWidth(156);

    value_ = new FittingLabel(value.isEmpty() ? QStringLiteral("Unknown") : value,
                              {.font = monospacedFont(13),
                               .colour = AppTheme::textPrimary(),
                               .maxLines = 3,
                               .minScale = 0.82,
                               .selectable = true});
    value_->setSizePolicy(QSizePolicy::Expanding, value_->sizePolicy().verticalPolicy());

    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    row->setContentsMargins(0, 5, 0, 5);
    row->addWidget(titleLabel, 0, Qt::AlignTop);
    row->addWidget(value_, 1, Qt::AlignTop);

    setAccessibleRole(this, QAccessible::ListItem);
    setAccessibleName(title + QStringLiteral(": ") + value_->fullText());

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(row);
    column->addWidget(new Divider(Qt::Horizontal, 0.2));
}

QString InfoRow::shownValue() const {
    return value_->fullText();
}

UnavailableStateView::UnavailableStateView(const QString& title, const QString& systemImage,
                                           const QString& message, QWidget* parent)
    : QWidget(parent) {
    auto* titleLabel = new QLabel(title);
    titleLabel->setFont(textFont(TextStyle::Title3, QFont::Bold));
    setTextColour(titleLabel, AppTheme::textPrimary());
    titleLabel->setAlignment(Qt::AlignCenter);
    auto* messageLabel = new QLabel(message);
    messageLabel->setWordWrap(true);
    messageLabel->setAlignment(Qt::AlignCenter);
    setTextColour(messageLabel, AppTheme::textSecondary());

    auto* column = new QVBoxLayout(this);
    column->setSpacing(10);
    column->addStretch(1);
    column->addWidget(new SymbolView(systemImage, 40, withOpacity(AppTheme::accent(), 0.82)), 0,
                      Qt::AlignHCenter);
    column->addWidget(titleLabel);
    column->addWidget(messageLabel);
    column->addStretch(1);
}

} // namespace tarsik
