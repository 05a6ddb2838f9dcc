#pragma once

#include "model/gpu_device.h"

#include <QDateTime>
#include <QTimer>
#include <QWidget>
#include <optional>

class QPlainTextEdit;
class QPushButton;

namespace tarsik {

class GPUStore;

// The fourth tab: the plain-text report of the selected GPU and a button that copies it. The
// report keeps its time stamp until the GPU changes or the report is copied.
class ValidationView : public QWidget {
    Q_OBJECT

  public:
    static constexpr int copiedResetMs = 1400;

    explicit ValidationView(GPUStore& store, QWidget* parent = nullptr);

    // Regenerates the report with the current time and puts exactly that text on the clipboard.
    void copyReport();

    const QString& currentReport() const { return currentReport_; }
    const QDateTime& generatedAt() const { return generatedAt_; }
    QString buttonLabel() const;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void selectionChanged();
    void regenerate();
    void setCopied(bool copied);

    GPUStore& store_;
    std::optional<UUID> gpuID_;
    QTimer resetCopied_;
    QDateTime generatedAt_;
    QString currentReport_ = QStringLiteral("No GPU detected");
    QPushButton* button_;
    QPlainTextEdit* text_;
};

} // namespace tarsik
