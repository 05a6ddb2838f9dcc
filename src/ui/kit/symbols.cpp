#include "ui/kit/symbols.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>
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

// Buttons draw their symbol at every paint, so each tinted size is made once.
QPixmap symbolPixmap(const QString& name, double points, const QColor& colour, double devicePixelRatio) {
    const int side = int(std::lround(points * devicePixelRatio));
    const QString key = QStringLiteral("tarsik.symbol:%1:%2:%3:%4")
                            .arg(name)
                            .arg(side)
                            .arg(colour.rgba(), 0, 16)
                            .arg(devicePixelRatio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) {
        return pixmap;
    }
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
    pixmap = QPixmap::fromImage(tinted);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

SymbolView::SymbolView(const QString& name, double points, const QColor& colour, int frame, QWidget* parent)
    : QLabel(parent), name_(name), colour_(colour) {
    setPixmap(symbolPixmap(name, points, colour, devicePixelRatioF()));
    setAlignment(Qt::AlignCenter);
    const int side = frame > 0 ? frame : int(std::ceil(points));
    setFixedSize(side, side);
}

} // namespace tarsik
