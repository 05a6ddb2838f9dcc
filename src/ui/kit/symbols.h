#pragma once

#include <QColor>
#include <QLabel>
#include <QPixmap>
#include <QString>

namespace tarsik {

// Platform symbol names ("display", "info.circle", ...) drawn from masks shipped in the
// program's resources, so no icon theme is needed. A symbol is as tall as a font of `points`.
bool hasSymbol(const QString& name);
QPixmap symbolPixmap(const QString& name, double points, const QColor& colour, double devicePixelRatio);

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
