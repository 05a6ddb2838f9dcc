#pragma once

#include "model/advanced_row.h"

#include <QString>
#include <QTimer>
#include <QWidget>
#include <vector>

class QLabel;
class QLineEdit;
class QListView;

namespace tarsik {

class AdvancedRowDelegate;
class AdvancedRowsModel;
class GPUStore;

// The store's rows in the table of the list (a header strip above the rows, paged by the model).
class AdvancedRowsList : public QWidget {
    Q_OBJECT

  public:
    explicit AdvancedRowsList(AdvancedRowsModel& model, QWidget* parent = nullptr);

    double keyWidth() const { return keyWidth_; }
    QListView* listView() const { return list_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QLabel* propertyHeader_;
    QListView* list_;
    AdvancedRowDelegate* delegate_;
    double keyWidth_ = 0;
};

// The third tab: the selected GPU's raw properties, filtered by key and value as typed after a
// short pause, shown a page at a time.
class AdvancedView : public QWidget {
    Q_OBJECT

  public:
    static constexpr int searchDebounceMs = 220;

    explicit AdvancedView(GPUStore& store, QWidget* parent = nullptr);

    AdvancedRowsModel& rowsModel() const { return *model_; }
    AdvancedRowsList& rowsList() const { return *list_; }
    QLineEdit& filterField() const { return *filter_; }
    const QString& debouncedSearch() const { return debouncedSearch_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void updateFilteredRows();
    void searchInputChanged(const QString& text);
    void applyDebouncedSearch();

    GPUStore& store_;
    AdvancedRowsModel* model_;
    AdvancedRowsList* list_;
    QLineEdit* filter_;
    QString searchInput_;
    QString debouncedSearch_;
    QTimer searchDebounce_;
};

} // namespace tarsik
