#include "ui/tabs/advanced_view.h"

#include "store/gpu_store.h"
#include "ui/kit/app_theme.h"
#include "ui/kit/fitting_label.h"
#include "ui/kit/text_fit.h"
#include "ui/kit/text_styles.h"
#include "ui/tabs/advanced_rows_model.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QPainter>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <algorithm>

namespace tarsik {
namespace {

constexpr int rowInsetX = 12;
constexpr int rowInsetY = 6;
constexpr int columnSpacing = 10;
constexpr int keyMaxLines = 3;
constexpr int valueMaxLines = 4;
constexpr double minTextScale = 0.82;

QFont keyFont() {
    return systemFont(13, QFont::DemiBold);
}
QFont valueFont() {
    return systemFont(13, QFont::Medium);
}

// A localized, case-insensitive substring test.
bool containsFolded(const QString& text, const QString& foldedNeedle, const QLocale& locale) {
    return locale.toLower(text).contains(foldedNeedle);
}

// Rows copy to the clipboard as "key: value" lines, since the list has no text fields to select.
class AdvancedListView : public QListView {
    Q_OBJECT

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (!event->matches(QKeySequence::Copy)) {
            QListView::keyPressEvent(event);
            return;
        }
        auto selected = selectionModel()->selectedIndexes();
        std::sort(selected.begin(), selected.end());
        QStringList lines;
        for (const auto& index : selected) {
            lines << index.data(Qt::DisplayRole).toString();
        }
        QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
    }
};

// At least 120 and at most 240 wide, 200 when there is room.
class FilterField : public QLineEdit {
    Q_OBJECT

  public:
    FilterField() {
        setMinimumWidth(120);
        setMaximumWidth(240);
        setTextMargins(4, 2, 4, 2);
    }
    QSize sizeHint() const override { return {200, QLineEdit::sizeHint().height()}; }
};

// The key column's width for a list `listWidth` wide: 0.36 of it, kept within 140 to 300.
double advancedKeyWidth(double listWidth) {
    return std::clamp(listWidth * 0.36, 140.0, 300.0);
}

} // namespace

// Draws one property row: the key in a column keyWidth wide, the value in the rest, each
// wrapping to its line limit and shrinking before it is cut.
class AdvancedRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setKeyWidth(double width) { keyWidth_ = width; }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const Columns columns = layOut(option.rect.width(), index);
        return {option.rect.width(), columns.height};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        if (option.state & QStyle::State_Selected) {
            painter->fillRect(option.rect, withOpacity(AppTheme::accentSoft(), 0.55));
        }
        const Columns columns = layOut(option.rect.width(), index);
        const QRect text = option.rect.adjusted(rowInsetX, rowInsetY, -rowInsetX, -rowInsetY);
        painter->setPen(AppTheme::textSecondary());
        drawFittedText(*painter, QRectF(text.left(), text.top(), keyWidth_, text.height()), columns.key,
                       keyFont());
        painter->setPen(AppTheme::textPrimary());
        const double valueLeft = text.left() + keyWidth_ + columnSpacing;
        drawFittedText(*painter, QRectF(valueLeft, text.top(), text.right() + 1 - valueLeft, text.height()),
                       columns.value, valueFont());
        painter->restore();
    }

  private:
    struct Columns {
        FittedText key;
        FittedText value;
        int height = 0;
    };

    Columns layOut(int rowWidth, const QModelIndex& index) const {
        // The same widths as the painting's, so each column gets the lines it was measured for.
        const double valueWidth = rowWidth - 2 * rowInsetX - keyWidth_ - columnSpacing;
        Columns columns{.key = fitText(index.data(AdvancedRowsModel::KeyRole).toString(), keyFont(),
                                       keyWidth_, keyMaxLines, minTextScale),
                        .value = fitText(index.data(AdvancedRowsModel::ValueRole).toString(), valueFont(),
                                         valueWidth, valueMaxLines, minTextScale)};
        columns.height =
            std::max(fittedHeight(columns.key, keyFont()), fittedHeight(columns.value, valueFont())) +
            2 * rowInsetY;
        return columns;
    }

    double keyWidth_ = 140;
};

AdvancedRowsList::AdvancedRowsList(AdvancedRowsModel& model, QWidget* parent) : QWidget(parent) {
    const auto headerLabel = [](const QString& text) {
        auto* label = new QLabel(text);
        label->setFont(textFont(TextStyle::Caption, QFont::DemiBold));
        setTextColour(label, AppTheme::textSecondary());
        return label;
    };
    propertyHeader_ = headerLabel(QStringLiteral("Property"));
    auto* header = new QWidget;
    header->setAutoFillBackground(true);
    QPalette headerColours = header->palette();
    headerColours.setColor(QPalette::Window, AppTheme::control());
    header->setPalette(headerColours);
    auto* headerRow = new QHBoxLayout(header);
    headerRow->setContentsMargins(rowInsetX, 7, rowInsetX, 7);
    headerRow->setSpacing(columnSpacing);
    headerRow->addWidget(propertyHeader_, 0, Qt::AlignVCenter);
    headerRow->addWidget(headerLabel(QStringLiteral("Value")), 1, Qt::AlignVCenter);

    list_ = new AdvancedListView;
    delegate_ = new AdvancedRowDelegate(list_);
    list_->setItemDelegate(delegate_);
    list_->setModel(&model);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setUniformItemSizes(false);
    list_->setResizeMode(QListView::Adjust);
    list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setStyleSheet(QStringLiteral("QListView { background: transparent; padding: 4px 0px; }"));
    list_->viewport()->setAutoFillBackground(false);

    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(1, 1, 1, 1);
    stack->setSpacing(0);
    stack->addWidget(header);
    stack->addWidget(list_, 1);
}

void AdvancedRowsList::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    keyWidth_ = advancedKeyWidth(width());
    propertyHeader_->setFixedWidth(int(keyWidth_));
    delegate_->setKeyWidth(keyWidth_);
    list_->doItemsLayout();
}

void AdvancedRowsList::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), AppTheme::panelRaised());
    painter.setPen(QPen(AppTheme::border(), 1));
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

AdvancedView::AdvancedView(GPUStore& store, QWidget* parent) : QWidget(parent), store_(store) {
    model_ = new AdvancedRowsModel(this);
    list_ = new AdvancedRowsList(*model_);

    auto* title =
        new FittingLabel(QStringLiteral("Advanced"), {.font = textFont(TextStyle::Title3, QFont::Bold),
                                                      .colour = AppTheme::textPrimary()});
    filter_ = new FilterField;
    filter_->setPlaceholderText(QStringLiteral("Filter"));
    filter_->setAccessibleName(QStringLiteral("Filter properties"));
    list_->listView()->setAccessibleName(QStringLiteral("Properties"));

    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    header->addWidget(title, 0, Qt::AlignVCenter);
    header->addSpacing(6);
    header->addStretch(1);
    header->addWidget(filter_, 0, Qt::AlignVCenter);

    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(10);
    stack->addLayout(header);
    stack->addWidget(list_, 1);

    searchDebounce_.setSingleShot(true);
    searchDebounce_.setTimerType(Qt::PreciseTimer);
    searchDebounce_.setInterval(searchDebounceMs);
    connect(&searchDebounce_, &QTimer::timeout, this, &AdvancedView::applyDebouncedSearch);
    connect(filter_, &QLineEdit::textChanged, this, &AdvancedView::searchInputChanged);
    connect(&store_, &GPUStore::advancedRowsChanged, this, &AdvancedView::updateFilteredRows);
    connect(&store_, &GPUStore::selectedIDChanged, this, &AdvancedView::updateFilteredRows);
}

void AdvancedView::updateFilteredRows() {
    const auto& rows = store_.advancedRows();
    if (debouncedSearch_.isEmpty()) {
        model_->setRows(rows);
        return;
    }
    const QLocale locale;
    const QString needle = locale.toLower(debouncedSearch_);
    std::vector<AdvancedRow> filtered;
    for (const auto& row : rows) {
        if (containsFolded(QString::fromStdString(row.key), needle, locale) ||
            containsFolded(QString::fromStdString(row.value), needle, locale)) {
            filtered.push_back(row);
        }
    }
    model_->setRows(std::move(filtered));
}

// Each new text restarts the wait, so only the text that stands 220 ms filters.
void AdvancedView::searchInputChanged(const QString& text) {
    if (text == searchInput_) {
        return;
    }
    searchInput_ = text;
    searchDebounce_.start();
}

void AdvancedView::applyDebouncedSearch() {
    if (searchInput_ == debouncedSearch_) {
        model_->resetVisibleLimit();
        return;
    }
    debouncedSearch_ = searchInput_;
    updateFilteredRows();
}

// The tab's state lives only while it is shown: it starts afresh each time.
void AdvancedView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    searchDebounce_.stop();
    const QSignalBlocker blocker(filter_);
    filter_->clear();
    searchInput_.clear();
    debouncedSearch_.clear();
    updateFilteredRows();
}

void AdvancedView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous()) {
        searchDebounce_.stop();
    }
}

} // namespace tarsik

#include "advanced_view.moc"
