#pragma once
// The program folder: the folder that holds the program file. The
// open-file dialogs start there.
//
// The data folder: where the program's own files live (the default subject
// file zvn.list, the help pages, fonts.conf). Run from its build folder the
// program has them beside itself; installed under a prefix (prefix/bin) it
// finds them in prefix/share/lumetra.

#include <QString>

namespace platform {

QString programFolder();
// Tests point the program at a folder of their own; empty restores it.
void setProgramFolder(const QString& folder);

// The data folder of a program that lives in `programFolder`:
// - the program folder itself when it holds the program's files (zvn.list
//   or the help folder), as in the build folder;
// - otherwise the installed data folder, `programFolder/../share/lumetra`,
//   when that folder exists;
// - otherwise the program folder, so that a missing file is reported where
//   it was looked for first.
QString dataFolderOf(const QString& programFolder);
// The data folder of this program: dataFolderOf(programFolder()).
QString dataFolder();

// Where the Open dialog for timetables starts: the program folder when the
// program keeps its files beside itself (as in its build folder), else the
// user's documents folder (an installed program's folder holds none).
QString timetableFolder();

// A file of the program's own: the data folder with exactly one separator
// before `name`.
QString inDataFolder(const QString& name);
// The same as inDataFolder: the program's files were once always beside it.
QString inProgramFolder(const QString& name);

} // namespace platform
