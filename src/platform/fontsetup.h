#pragma once
// Chinese documents name their fonts 黑体 (a sans face) and 宋体 (a serif
// face). On systems without those fonts, fontconfig is told which installed
// CJK faces stand for them, through the fonts.conf shipped beside the program.
// Must run before the QApplication is created.

namespace platform {

void useProgramFontConfig();

} // namespace platform
