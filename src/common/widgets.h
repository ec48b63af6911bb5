#pragma once
// Small helpers the program's windows share.

#include <QString>

class QAbstractButton;
class QPushButton;
class QWidget;

namespace widgets {

// A push button named for code (objectName) and for screen readers (its
// caption without the access-key mark).
QPushButton* button(QWidget* parent, const char* name, const QString& caption);

// Sets a button's caption and the accessible name that goes with it.
void setCaption(QAbstractButton* button, const QString& caption);

// Shows a window, in front of the others, with the keyboard focus.
void bringForward(QWidget* window);

} // namespace widgets
