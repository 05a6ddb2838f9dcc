#pragma once

#include <QWidget>

namespace tarsik {

// The Help window's root: a header panel above the help text.
class HelpWindowContent : public QWidget {
    Q_OBJECT

  public:
    explicit HelpWindowContent(QWidget* parent = nullptr);
};

} // namespace tarsik
