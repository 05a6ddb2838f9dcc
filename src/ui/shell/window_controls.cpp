#include "ui/shell/window_controls.h"

#include "ui/kit/app_theme.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace tarsik {
namespace {

bool ownControls = false;

constexpr int buttonSize = 24;
constexpr int edgeMargin = 6;

enum class Control { Minimise, Maximise, Close };

// A square button with a line glyph, outlined as the theme's controls are; close turns red
// under the pointer.
class ControlButton : public QAbstractButton {
  public:
    ControlButton(Control control, const QString& name) : control_(control) {
        setFixedSize(buttonSize, buttonSize);
        setAccessibleName(name);
        setToolTip(name);
        setAttribute(Qt::WA_Hover);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const bool hot = underMouse() || isDown();
        const QColor fill = hot && control_ == Control::Close ? withOpacity(AppTheme::warning(), 0.85)
                            : hot                             ? AppTheme::accentSoft()
                                                              : AppTheme::control();
        painter.fillRect(rect(), fill);
        painter.setPen(QPen(hasFocus() ? AppTheme::accent() : AppTheme::border(), 1));
        painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(AppTheme::textPrimary(), 1.4));
        const QRectF glyph = QRectF(rect()).adjusted(8, 8, -8, -8);
        switch (control_) {
        case Control::Minimise:
            painter.drawLine(glyph.bottomLeft(), glyph.bottomRight());
            break;
        case Control::Maximise:
            painter.drawRect(window()->isMaximized() ? glyph.adjusted(1, 1, -1, -1) : glyph);
            break;
        case Control::Close:
            painter.drawLine(glyph.topLeft(), glyph.bottomRight());
            painter.drawLine(glyph.bottomLeft(), glyph.topRight());
            break;
        }
    }

  private:
    Control control_;
};

void toggleMaximised(QWidget* window) {
    window->isMaximized() ? window->showNormal() : window->showMaximized();
}

} // namespace

void setOwnWindowControls(bool own) {
    ownControls = own;
}

bool ownWindowControls() {
    return ownControls;
}

Qt::Edges resizeEdgesAt(QPoint point, QSize size, int margin) {
    Qt::Edges edges;
    edges.setFlag(Qt::LeftEdge, point.x() < margin);
    edges.setFlag(Qt::RightEdge, point.x() >= size.width() - margin);
    edges.setFlag(Qt::TopEdge, point.y() < margin);
    edges.setFlag(Qt::BottomEdge, point.y() >= size.height() - margin);
    return edges;
}

WindowControls::WindowControls(bool minimise, bool maximise, QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    if (minimise) {
        auto* button = new ControlButton(Control::Minimise, QStringLiteral("Minimise"));
        connect(button, &QAbstractButton::clicked, this, [this] { window()->showMinimized(); });
        row->addWidget(button);
    }
    if (maximise) {
        auto* button = new ControlButton(Control::Maximise, QStringLiteral("Maximise"));
        connect(button, &QAbstractButton::clicked, this, [this] { toggleMaximised(window()); });
        row->addWidget(button);
    }
    auto* close = new ControlButton(Control::Close, QStringLiteral("Close"));
    connect(close, &QAbstractButton::clicked, this, [this] { window()->close(); });
    row->addWidget(close);
}

WindowEdges::WindowEdges(QWidget* window, QWidget* titleArea)
    : QObject(window), window_(window), titleArea_(titleArea) {
    titleArea->installEventFilter(this);
    // A press near an edge goes to whichever control is there; the whole application is
    // watched so the edge wins over it.
    qApp->installEventFilter(this);
}

bool WindowEdges::eventFilter(QObject* watched, QEvent* event) {
    if (watched == titleArea_ && event->type() == QEvent::MouseButtonDblClick) {
        toggleMaximised(window_);
        return true;
    }
    if (event->type() != QEvent::MouseButtonPress || !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != window_ || window_->isMaximized() ||
        window_->minimumSize() == window_->maximumSize() || window_->windowHandle() == nullptr) {
        return QObject::eventFilter(watched, event);
    }
    const auto* press = static_cast<QMouseEvent*>(event);
    const auto edges =
        resizeEdgesAt(window_->mapFromGlobal(press->globalPosition().toPoint()), window_->size(), edgeMargin);
    return (press->button() == Qt::LeftButton && edges &&
            window_->windowHandle()->startSystemResize(edges)) ||
           QObject::eventFilter(watched, event);
}

} // namespace tarsik
