#include "ui/kit/symbols.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <cmath>
#include <map>
#include <mutex>

// The masks live in a static library, whose resource registration the linker would drop unless
// something refers to it.
static void registerSymbolResources() {
    Q_INIT_RESOURCE(symbols);
}

namespace tarsik {
namespace {

struct Mask {
    std::once_flag decoded;
    QImage image;
};

// Every mask in the resources, listed once; each is decoded once, by whichever thread asks first.
std::map<QString, Mask>& masks() {
    static std::map<QString, Mask> all = [] {
        registerSymbolResources();
        std::map<QString, Mask> listed;
        const QDir folder(QStringLiteral(":/symbols"), QStringLiteral("*.png"));
        for (const auto& file : folder.entryList(QDir::Files)) {
            listed[QFileInfo(file).completeBaseName()];
        }
        return listed;
    }();
    return all;
}

const QImage* mask(const QString& name) {
    auto& all = masks();
    const auto found = all.find(name);
    if (found == all.end()) {
        return nullptr;
    }
    std::call_once(found->second.decoded, [&found] {
        found->second.image = QImage(QStringLiteral(":/symbols/%1.png").arg(found->first));
    });
    return &found->second.image;
}

} // namespace

bool hasSymbol(const QString& name) {
    return masks().contains(name);
}

SymbolPreload::SymbolPreload()
    : decoder_([] {
          for (const auto& entry : masks()) {
              mask(entry.first);
          }
      }) {}

SymbolPreload::~SymbolPreload() {
    decoder_.join();
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
    const QImage* source = mask(name);
    if (source == nullptr || source->isNull() || side <= 0) {
        return {};
    }
    QImage tinted = source->scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)
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
