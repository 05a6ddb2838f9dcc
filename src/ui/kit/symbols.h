#pragma once

#include <QColor>
#include <QLabel>
#include <QPixmap>
#include <QString>
#include <thread>

namespace tarsik {

// Platform symbol names ("display", "info.circle", ...) drawn from masks shipped in the
// program's resources, so no icon theme is needed. A symbol is as tall as a font of `points`.
bool hasSymbol(const QString& name);
QPixmap symbolPixmap(const QString& name, double points, const QColor& colour, double devicePixelRatio);

// Decoding the masks costs milliseconds of the first paint. Made once the application object
// exists, this decodes them on another core while the window is built; a mask needed before
// its turn is decoded by the thread that needs it.
class SymbolPreload {
  public:
    SymbolPreload();
    ~SymbolPreload();
    SymbolPreload(const SymbolPreload&) = delete;
    SymbolPreload& operator=(const SymbolPreload&) = delete;

  private:
    std::thread decoder_;
};

// A symbol centred in a frame (by default a square as large as the symbol).
class SymbolView : public QLabel {
    Q_OBJECT

  public:
    SymbolView(const QString& name, double points, const QColor& colour, int frame = 0,
               QWidget* parent = nullptr);

    const QString& symbolName() const { return name_; }
    const QColor& colour() const { return colour_; }

  private:
    QString name_;
    QColor colour_;
};

} // namespace tarsik
