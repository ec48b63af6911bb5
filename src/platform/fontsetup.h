#pragma once
// Chinese documents name their fonts 黑体 (a sans face) and 宋体 (a serif
// face). On systems without those fonts, fontconfig is told which installed
// CJK faces stand for them, through the fonts.conf shipped in the program's
// data folder (beside the program, or prefix/share/lumetra when installed).

#include <QString>

namespace platform {

// The program's fonts.conf for a program in `programFolder`, or an empty
// text when there is none.
QString programFontConfig(const QString& programFolder);

// Points fontconfig at the program's fonts.conf unless FONTCONFIG_FILE is
// already set. Must run before the QApplication is created.
void useProgramFontConfig();

} // namespace platform
