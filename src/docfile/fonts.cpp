#include "docfile/fonts.h"

#include <algorithm>

namespace docfile::fonts {

namespace {

struct KnownFont {
    const char* name;
    const char* altName;
};
// Chinese fonts under their Chinese names, with the names Western systems know them by.
constexpr KnownFont kChineseFonts[] = {
    {"宋体", "SimSun"}, {"黑体", "SimHei"}, {"楷体", "KaiTi"}, {"仿宋", "FangSong"},
    {"新宋体", "NSimSun"}, {"微软雅黑", "Microsoft YaHei"}, {"隶书", "LiSu"}, {"幼圆", "YouYuan"},
    {"楷体_GB2312", "KaiTi_GB2312"}, {"仿宋_GB2312", "FangSong_GB2312"},
};

} // namespace

const char* westernFontName(const std::string& name)
{
    for (const KnownFont& k : kChineseFonts)
        if (name == k.name) return k.altName;
    return nullptr;
}

const char* genericFamily(const std::string& font)
{
    if (font == "宋体" || font == "新宋体" || font == "仿宋" || font == "楷体" || font == kLatinDefault) return "roman";
    if (font == "黑体" || font == "微软雅黑" || font == "幼圆" || font == "Arial") return "swiss";
    return "";
}

bool isAsciiName(const std::string& name)
{
    return std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace docfile::fonts
