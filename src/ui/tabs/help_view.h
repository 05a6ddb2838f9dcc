#pragma once

#include <QScrollArea>
#include <QString>
#include <vector>

namespace tarsik {

struct HelpSection {
    QString title;
    QString icon;
    QString text;
};

// The ten sections, in the order shown.
const std::vector<HelpSection>& helpSections();

// The help text: a heading and the sections, scrolling; the Help tab and the Help window share it.
class HelpView : public QScrollArea {
    Q_OBJECT

  public:
    explicit HelpView(QWidget* parent = nullptr);
};

} // namespace tarsik
