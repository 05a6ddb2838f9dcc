#include "ui/kit/symbols.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <cmath>

// The masks live in a static library, whose resource registration the linker would drop unless
// something refers to it.
static void registerSymbolResources() {
    Q_INIT_RESOURCE(symbols);
}

namespace tarsik {
namespace {

QString resourcePath(const QString& name) {
    static const bool registered = (registerSymbolResources(), true);
    Q_UNUSED(registered);
    return QStringLiteral(":/symbols/%1.png").arg(name);
}

} // namespace

bool hasSymbol(const QString& name) {
    return QFile::exists(resourcePath(name));
}

QPixmap symbolPixmap(const QString& name, double points, const QColor& colour, double devicePixelRatio) {
    const int side = int(std::lround(points * devicePixelRatio));
    QImage mask(resourcePath(name));
    if (mask.isNull() || side <= 0) {
        return {};
    }
    QImage tinted = mask.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&tinted);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(tinted.rect(), colour);
    painter.end();
    tinted.setDevicePixelRatio(devicePixelRatio);
    return QPixmap::fromImage(tinted);
}

SymbolView::SymbolView(const QString& name, double points, const QColor& colour, int frame, QWidget* parent)
    : QLabel(parent), name_(name), colour_(colour) {
    setPixmap(symbolPixmap(name, points, colour, devicePixelRatioF()));
    setAlignment(Qt::AlignCenter);
    const int side = frame > 0 ? frame : int(std::ceil(points));
    setFixedSize(side, side);
}

} // namespace tarsik
