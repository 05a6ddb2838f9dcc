#pragma once

#include "ui/kit/panels.h"

class QComboBox;

namespace tarsik {

class GPUStore;

// "Active GPU" and the picker of the store's devices; picking one selects it in the store.
class GPUSelectorView : public OutlinedBox {
    Q_OBJECT

  public:
    explicit GPUSelectorView(GPUStore& store, QWidget* parent = nullptr);

    QComboBox* picker() const { return picker_; }

  private:
    void update();

    GPUStore& store_;
    QComboBox* picker_;
};

} // namespace tarsik
