#pragma once

#include <QWidget>

namespace tarsik {

// The About window's root: the program's tile, names, credit, links and credits.
class AboutWindowContent : public QWidget {
    Q_OBJECT

  public:
    explicit AboutWindowContent(QWidget* parent = nullptr);
};

} // namespace tarsik
