#pragma once

#include "ui/kit/panels.h"

namespace tarsik {

class FittingLabel;
class GPUStore;
class MetallicActionButton;
class StatusSquare;

// Title, the last-refresh chip, and the Refresh and donation buttons.
class HeaderView : public MetallicPanel {
    Q_OBJECT

  public:
    explicit HeaderView(GPUStore& store, QWidget* parent = nullptr);

    MetallicActionButton* refreshButton() const { return refresh_; }
    QWidget* refreshChip() const { return chip_; }
    QString chipText() const;

  private:
    void update();

    GPUStore& store_;
    QWidget* chip_;
    StatusSquare* chipSquare_;
    FittingLabel* chipTime_;
    MetallicActionButton* refresh_;
};

} // namespace tarsik
