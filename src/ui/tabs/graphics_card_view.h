#pragma once

#include "model/gpu_device.h"

#include <QWidget>
#include <optional>

namespace tarsik {

// The first tab: the selected GPU's name, its seven identification rows and its displays, or a
// placeholder while there is no GPU. It shows the record's text as it is.
class GraphicsCardView : public QWidget {
    Q_OBJECT

  public:
    explicit GraphicsCardView(QWidget* parent = nullptr);

    // The main window hands over the store's selected GPU whenever it changes; null for none.
    void setGPU(const GPUDevice* gpu);

  private:
    void rebuild();
    QWidget* buildCard(const GPUDevice& gpu);

    std::optional<GPUDevice> gpu_;
    QWidget* content_ = nullptr;
};

} // namespace tarsik
