#pragma once
// Small helpers the program's windows share.

#include <QPointer>
#include <QString>
#include <QWidget>

class QAbstractButton;
class QPushButton;

namespace widgets {

// A push button named for code (objectName) and for screen readers (its
// caption without the access-key mark).
QPushButton* button(QWidget* parent, const char* name, const QString& caption);

// Sets a button's caption and the accessible name that goes with it.
void setCaption(QAbstractButton* button, const QString& caption);

// Shows a window, in front of the others, with the keyboard focus.
void bringForward(QWidget* window);

// Held while a modal dialog runs: when it ends, the keyboard goes back to
// the window the dialog was opened from. Window managers do this on their
// own; without one, the window would look active but its menus' access
// keys and shortcuts would not answer until clicked.
class FocusReturn {
public:
    explicit FocusReturn(QWidget* parent);
    ~FocusReturn();
    FocusReturn(const FocusReturn&) = delete;
    FocusReturn& operator=(const FocusReturn&) = delete;

private:
    QPointer<QWidget> m_window;
};

} // namespace widgets
