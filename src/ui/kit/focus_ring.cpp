#include "ui/kit/focus_ring.h"

#include <QApplication>
#include <QFocusEvent>

namespace tarsik {
namespace {

bool byKeyboard(const QFocusEvent& event, const QWidget& widget) {
    switch (event.reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
        return true;
    case Qt::ActiveWindowFocusReason:
    case Qt::OtherFocusReason:
        // Back to a window whose focus last moved by keyboard.
        return widget.window()->testAttribute(Qt::WA_KeyboardFocusChange);
    default:
        return false;
    }
}

} // namespace

FocusRing::FocusRing(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
}

FocusRing::~FocusRing() {
    delete frame_.data();
}

QWidget* FocusRing::ringed() const {
    return frame_ && frame_->isVisible() ? frame_->widget() : nullptr;
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->window()->windowType() != Qt::Popup) {
            if (!frame_) {
                frame_ = new QFocusFrame;
            }
            frame_->setWidget(byKeyboard(*static_cast<QFocusEvent*>(event), *widget) ? widget : nullptr);
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tarsik
