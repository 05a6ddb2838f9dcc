#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace tarsik {

class GPUStore;

// The second tab: one row per sensor reading of the store, a button that copies them all as
// plain text, and where they come from. It reads sensors only through the store; its first
// appearance asks the store to switch to full discovery.
class SensorsView : public QWidget {
    Q_OBJECT

  public:
    explicit SensorsView(GPUStore& store, QWidget* parent = nullptr);

    // Puts one line per reading on the clipboard.
    void copySensorDebug();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void rebuildRows();

    GPUStore& store_;
    QLabel* manualRefreshOnly_;
    QVBoxLayout* rows_;
};

} // namespace tarsik
