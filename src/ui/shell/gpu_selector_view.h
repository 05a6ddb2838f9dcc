#pragma once

#include "model/gpu_device.h"
#include "ui/kit/panels.h"

#include <QStringList>
#include <vector>

class QComboBox;

namespace tarsik {

class GPUStore;

// The picker's entry for each device: its name, and where another device has the same name, its
// bus address after a middle dot ("AMD Radeon RX 6800 XT · 04:00.0", without the usual 0000 domain).
QStringList pickerEntries(const std::vector<GPUDevice>& devices);

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
