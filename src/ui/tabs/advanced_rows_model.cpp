#include "ui/tabs/advanced_rows_model.h"

#include <algorithm>

namespace tarsik {

void AdvancedRowsModel::setRows(std::vector<AdvancedRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    visibleLimit_ = pageSize;
    endResetModel();
}

void AdvancedRowsModel::resetVisibleLimit() {
    if (visibleLimit_ == pageSize) {
        return;
    }
    beginResetModel();
    visibleLimit_ = pageSize;
    endResetModel();
}

void AdvancedRowsModel::loadMoreRows(int totalCount) {
    if (visibleLimit_ >= totalCount) {
        return;
    }
    const int shownBefore = rowCount();
    const int limit = std::min(totalCount, visibleLimit_ + pageSize);
    const int shownAfter = std::min(limit, totalRows());
    if (shownAfter <= shownBefore) {
        visibleLimit_ = limit;
        return;
    }
    // Views and proxies ask for the old count until the insertion is announced.
    beginInsertRows({}, shownBefore, shownAfter - 1);
    visibleLimit_ = limit;
    endInsertRows();
}

int AdvancedRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::min(visibleLimit_, totalRows());
}

QVariant AdvancedRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const auto& row = rows_[std::size_t(index.row())];
    switch (role) {
    case KeyRole:
        return QString::fromStdString(row.key);
    case ValueRole:
        return QString::fromStdString(row.value);
    case Qt::DisplayRole:
        return QString::fromStdString(row.key + ": " + row.value);
    default:
        return {};
    }
}

bool AdvancedRowsModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && rowCount() < totalRows();
}

void AdvancedRowsModel::fetchMore(const QModelIndex& parent) {
    if (!parent.isValid()) {
        loadMoreRows(totalRows());
    }
}

} // namespace tarsik
