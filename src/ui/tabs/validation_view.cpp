#include "ui/tabs/validation_view.h"

#include "store/gpu_store.h"
#include "texts/validation_report.h"
#include "ui/kit/app_theme.h"
#include "ui/kit/panels.h"
#include "ui/kit/text_styles.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>
#include <chrono>

namespace tarsik {
namespace {

std::chrono::system_clock::time_point timePoint(const QDateTime& when) {
    return std::chrono::system_clock::time_point(std::chrono::milliseconds(when.toMSecsSinceEpoch()));
}

std::optional<UUID> idOf(const GPUDevice* gpu) {
    if (gpu == nullptr) {
        return std::nullopt;
    }
    return gpu->id;
}

} // namespace

ValidationView::ValidationView(GPUStore& store, QWidget* parent)
    : QWidget(parent), store_(store), gpuID_(idOf(store.selectedGPU())),
      generatedAt_(QDateTime::currentDateTimeUtc()) {
    auto* title = new QLabel(QStringLiteral("Validation"));
    title->setFont(textFont(TextStyle::Title3, QFont::Bold));
    setTextColour(title, AppTheme::textPrimary());
    button_ = new QPushButton(QStringLiteral("Copied"));
    // As wide as the wider of its two labels, so its edge stays put when the label changes.
    button_->setMinimumWidth(button_->sizeHint().width());
    button_->setText(QStringLiteral("Copy Report"));
    button_->setMinimumWidth(std::max(button_->minimumWidth(), button_->sizeHint().width()));
    connect(button_, &QPushButton::clicked, this, &ValidationView::copyReport);
    auto* header = new QHBoxLayout;
    header->addWidget(title);
    header->addStretch(1);
    header->addWidget(button_);

    auto* subtitle = new QLabel(QStringLiteral("Quick export for support, forum posts, or documentation."));
    subtitle->setWordWrap(true);
    setTextColour(subtitle, AppTheme::textSecondary());

    // Selectable, but what the user types is never kept: the text is always the report.
    text_ = new QPlainTextEdit;
    text_->setReadOnly(true);
    text_->setAccessibleName(QStringLiteral("Validation report"));
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setFont(monospacedFont(13));
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text_->setStyleSheet(
        QStringLiteral("QPlainTextEdit { color: %1; background-color: %2; border: 1px solid %3; }")
            .arg(AppTheme::textPrimary().name(QColor::HexArgb), AppTheme::row().name(QColor::HexArgb),
                 AppTheme::border().name(QColor::HexArgb)));

    auto* content = new QWidget;
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(12);
    stack->addLayout(header);
    stack->addWidget(subtitle);
    stack->addWidget(text_, 1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(new GlassPanel(content));

    resetCopied_.setSingleShot(true);
    resetCopied_.setTimerType(Qt::PreciseTimer);
    resetCopied_.setInterval(copiedResetMs);
    connect(&resetCopied_, &QTimer::timeout, this, [this] { setCopied(false); });
    connect(&store_, &GPUStore::devicesChanged, this, &ValidationView::selectionChanged);
    connect(&store_, &GPUStore::selectedIDChanged, this, &ValidationView::selectionChanged);
    text_->setPlainText(currentReport_);
}

QString ValidationView::buttonLabel() const {
    return button_->text();
}

void ValidationView::regenerate() {
    currentReport_ = QString::fromStdString(validationReport(store_.selectedGPU(), timePoint(generatedAt_)));
    text_->setPlainText(currentReport_);
}

// A new time stamp only when the GPU itself changes, not when the same one is announced again.
void ValidationView::selectionChanged() {
    const auto id = idOf(store_.selectedGPU());
    if (id == gpuID_) {
        return;
    }
    gpuID_ = id;
    generatedAt_ = QDateTime::currentDateTimeUtc();
    regenerate();
}

void ValidationView::copyReport() {
    generatedAt_ = QDateTime::currentDateTimeUtc();
    regenerate();
    QApplication::clipboard()->setText(currentReport_);
    setCopied(true);
    resetCopied_.start(); // restarting drops the reset of an earlier press
}

void ValidationView::setCopied(bool copied) {
    button_->setText(copied ? QStringLiteral("Copied") : QStringLiteral("Copy Report"));
}

// The tab's state lives only while it is shown: each showing starts from the initial state.
void ValidationView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    resetCopied_.stop();
    setCopied(false);
    gpuID_ = idOf(store_.selectedGPU());
    generatedAt_ = QDateTime::currentDateTimeUtc();
    regenerate();
}

void ValidationView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous()) {
        resetCopied_.stop();
    }
}

} // namespace tarsik
