#pragma once

#include <QAccessible>

class QWidget;

namespace tarsik {

// Gives a widget whose class tells a screen reader nothing (a row or a tab drawn by hand) the
// role it plays; its name is its accessible name.
void setAccessibleRole(QWidget* widget, QAccessible::Role role);

} // namespace tarsik
