#pragma once
// The program folder: the folder that holds the program file. The default
// subject file and the help pages live there, and the open-file dialogs
// start there.

#include <QString>

namespace platform {

QString programFolder();
// Tests point the program at a folder of their own; empty restores it.
void setProgramFolder(const QString& folder);

// The folder path with exactly one separator before `name`.
QString inProgramFolder(const QString& name);

} // namespace platform
