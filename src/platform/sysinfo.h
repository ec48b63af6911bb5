#pragma once
// The system-information tool the about box starts: a program that shows
// the computer's hardware and software.

#include <QString>
#include <QStringList>

namespace platform {

// The programs looked for on PATH, in order, on systems other than Windows.
const QStringList& systemInformationToolNames();

// The full path of the system-information tool, or an empty text when there
// is none. On Windows the path comes from the registry entries Microsoft
// Office writes for MSINFO32; a path found there is returned even when the
// file no longer exists (starting it then fails). Elsewhere it is the first
// program of systemInformationToolNames() found on PATH.
QString systemInformationTool();

} // namespace platform
