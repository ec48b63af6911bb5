// What every format knows about the fonts of a document: the default
// fonts an empty font name stands for, and the other names and kinds of
// the Chinese fonts timetables use.
#pragma once

#include <string>

namespace docfile::fonts {

// What an empty font name in the model means, for Latin and for Chinese text.
constexpr const char* kLatinDefault = "Times New Roman";
constexpr const char* kChineseDefault = "宋体";

// The name Western systems know a Chinese font by ("SimSun" for 宋体), or
// nothing for a font not known to have one.
const char* westernFontName(const std::string& name);

// The kind of face, so that a reader without the font picks a like one:
// "roman" for serif faces (宋体, Times New Roman), "swiss" for sans ones
// (黑体, Arial), "" where it is not known.
const char* genericFamily(const std::string& name);

// Whether the name is written in ASCII only (a Western font's name).
bool isAsciiName(const std::string& name);

} // namespace docfile::fonts
