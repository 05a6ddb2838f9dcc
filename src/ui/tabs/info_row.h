#pragma once

#include <QWidget>

namespace tarsik {

class FittingLabel;

// One labelled value: the title on the left, the value (selectable, "Unknown" when empty) taking
// the rest of the width, then a faint divider.
class InfoRow : public QWidget {
    Q_OBJECT

  public:
    InfoRow(const QString& title, const QString& value, QWidget* parent = nullptr);

    QString shownValue() const;

  private:
    FittingLabel* value_;
};

// A centred placeholder: a symbol, a title and a message, with flexible space above and below.
class UnavailableStateView : public QWidget {
    Q_OBJECT

  public:
    UnavailableStateView(const QString& title, const QString& systemImage, const QString& message,
                         QWidget* parent = nullptr);
};

} // namespace tarsik
