#pragma once
// The program's help: HTML pages in the "help" folder of the program's data
// folder (see programfolder.h), shown in the program's own help window. F1
// in any of the program's windows opens it.

#include <QString>

class QApplication;
class QWidget;

namespace platform {

// The help file: the data folder followed by the help index page.
QString helpFile();

// Shows the help window at a page (the index when empty). A missing page
// shows the help window's own not-found page; no message box.
void showHelp(const QString& page = QString());

// The open help window, if any (for tests and for closing with the program).
QWidget* helpWindow();

// Makes F1 open the help in every window of the application.
void installHelpKey(QApplication& application);

} // namespace platform
