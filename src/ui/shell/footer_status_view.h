#pragma once

#include "ui/kit/panels.h"

namespace tarsik {

class FittingLabel;
class GPUStore;
class StatusSquare;

// "Status:" Ready or Refreshing, "GPUs:" and their count, and the version.
class FooterStatusView : public MetallicPanel {
    Q_OBJECT

  public:
    explicit FooterStatusView(GPUStore& store, QWidget* parent = nullptr);

    QString statusText() const;
    QString countText() const;
    const StatusSquare* statusSquare() const { return square_; }

  private:
    void update();

    GPUStore& store_;
    StatusSquare* square_;
    FittingLabel* status_;
    FittingLabel* count_;
};

} // namespace tarsik
