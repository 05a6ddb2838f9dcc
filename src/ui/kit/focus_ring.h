#pragma once

#include <QFocusFrame>
#include <QObject>
#include <QPointer>

namespace tarsik {

// Shows where the keyboard is: a ring in the accent colour around the focused control once focus
// has moved by keyboard in its window. A click gives focus without a ring, as on the desktop.
// One for the application; it watches every widget's focus.
class FocusRing : public QObject {
    Q_OBJECT

  public:
    explicit FocusRing(QObject* parent = nullptr);
    ~FocusRing() override;

    // The control the ring is around; null while there is no ring.
    QWidget* ringed() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<QFocusFrame> frame_;
};

} // namespace tarsik
