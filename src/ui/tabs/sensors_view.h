#pragma once

#include <QWidget>
#include <vector>

class QCheckBox;
class QLabel;
class QVBoxLayout;

namespace tarsik {

class GPUStore;
class SensorRow;

// The second tab: one row per sensor reading of the store, a button that copies them all as
// plain text, and where they come from. It reads sensors only through the store; its first
// appearance asks the store to switch to full discovery. Its Live toggle, off at every start, has
// the store read the selected GPU's sensors every second while the tab is seen: on this tab, in a
// window that is shown and not minimised.
class SensorsView : public QWidget {
    Q_OBJECT

  public:
    explicit SensorsView(GPUStore& store, QWidget* parent = nullptr);

    // Puts one line per reading on the clipboard.
    void copySensorDebug();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Shows the store's readings, in place when they are the same sensors as the rows show.
    void showReadings();
    void rebuildRows();
    void updateLive();
    void updateManualRefreshHint();

    GPUStore& store_;
    QLabel* manualRefreshOnly_;
    QCheckBox* live_;
    QVBoxLayout* rows_;
    std::vector<SensorRow*> rowWidgets_;
};

} // namespace tarsik
