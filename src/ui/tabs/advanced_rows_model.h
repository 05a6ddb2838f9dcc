#pragma once

#include "model/advanced_row.h"

#include <QAbstractListModel>
#include <vector>

namespace tarsik {

// The filtered rows of the Advanced tab, handed to the list 80 at a time: the list asks for the
// next page (fetchMore) when its last row scrolls into view.
class AdvancedRowsModel : public QAbstractListModel {
    Q_OBJECT

  public:
    static constexpr int pageSize = 80;
    enum Role { KeyRole = Qt::UserRole + 1, ValueRole };

    using QAbstractListModel::QAbstractListModel;

    // New rows start again at the first page.
    void setRows(std::vector<AdvancedRow> rows);
    void resetVisibleLimit();
    // Raises the limit by one page, capped at totalCount; never lowers it.
    void loadMoreRows(int totalCount);

    int visibleLimit() const { return visibleLimit_; }
    int totalRows() const { return int(rows_.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

  private:
    std::vector<AdvancedRow> rows_;
    int visibleLimit_ = pageSize;
};

} // namespace tarsik
