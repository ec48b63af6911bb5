#include "docfile/ooxml/styles.h"

#include "docfile/bytes.h"
#include "docfile/ooxml/names.h"
#include "docfile/text.h"

#include <charconv>
#include <cmath>
#include <set>

namespace docfile::ooxml {

using names::kWordMain;

namespace {

constexpr std::size_t kMostStyles = 10000;
constexpr int kMostBases = 64;

std::optional<std::string> val(const XmlReader& x) { return x.attribute(kWordMain, "val"); }

} // namespace

std::int64_t parseNumber(const std::string& text, std::int64_t low, std::int64_t high, const char* what)
{
    std::int64_t value = 0;
    const char* begin = text.data();
    if (!text.empty() && text[0] == '+') ++begin;
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) damaged(std::string(what) + "超出了 Word 能记录的范围");
    if (error != std::errc() || end != text.data() + text.size()) damaged(std::string(what) + "不是数字：" + text::forMessage(text, 20));
    if (value < low || value > high) damaged(std::string(what) + "超出了 Word 能记录的范围");
    return value;
}

std::int32_t parseTwips(const std::string& text, std::int32_t low, std::int32_t high, const char* what)
{
    // Lengths with a unit, as later versions of the format allow.
    static const std::pair<const char*, double> kUnits[] = {{"mm", 1440 / 25.4}, {"cm", 1440 / 2.54}, {"in", 1440}, {"pt", 20}, {"pc", 240}, {"pi", 240}};
    for (const auto& [unit, twips] : kUnits) {
        if (text.size() <= 2 || text.compare(text.size() - 2, 2, unit) != 0) continue;
        double value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size() - 2, value);
        if (error != std::errc() || end != text.data() + text.size() - 2 || !std::isfinite(value))
            damaged(std::string(what) + "不是数字：" + text::forMessage(text, 20));
        const double v = std::round(value * twips);
        if (v < low || v > high) damaged(std::string(what) + "超出了 Word 能记录的范围");
        return static_cast<std::int32_t>(v);
    }
    return static_cast<std::int32_t>(parseNumber(text, low, high, what));
}

bool parseOnOff(const std::optional<std::string>& value)
{
    return !value || !(*value == "false" || *value == "0" || *value == "off");
}

void RunProps::then(const RunProps& later)
{
    if (later.ascii) ascii = later.ascii;
    if (later.hAnsi) hAnsi = later.hAnsi;
    if (later.eastAsia) eastAsia = later.eastAsia;
    if (later.eastAsiaHint) eastAsiaHint = later.eastAsiaHint;
    if (later.bold) bold = later.bold;
    if (later.italic) italic = later.italic;
    if (later.underline) {
        underline = later.underline;
        otherUnderline = later.otherUnderline;
    }
    if (later.colour) colour = later.colour;
    if (later.halfPoints) halfPoints = later.halfPoints;
}

void ParagraphProps::then(const ParagraphProps& later)
{
    if (later.alignment) alignment = later.alignment;
    if (later.firstLine || later.firstLineChars) {
        firstLine = later.firstLine;
        firstLineChars = later.firstLineChars;
    }
    if (later.numbered) numbered = later.numbered;
}

namespace {

void readFonts(const XmlReader& x, RunProps& p)
{
    auto choice = [&](const char* name, const char* theme) -> std::optional<FontChoice> {
        if (auto t = x.attribute(kWordMain, theme)) return FontChoice{"", *t};
        if (auto n = x.attribute(kWordMain, name)) return FontChoice{*n, ""};
        return std::nullopt;
    };
    if (auto c = choice("ascii", "asciiTheme")) p.ascii = c;
    if (auto c = choice("hAnsi", "hAnsiTheme")) p.hAnsi = c;
    if (auto c = choice("eastAsia", "eastAsiaTheme")) p.eastAsia = c;
    if (auto hint = x.attribute(kWordMain, "hint")) p.eastAsiaHint = *hint == "eastAsia";
}

std::uint32_t parseColour(const std::string& v)
{
    if (v == "auto") return kAutomaticColour;
    std::uint32_t colour = 0;
    const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), colour, 16);
    if (v.size() != 6 || error != std::errc() || end != v.data() + v.size()) return kAutomaticColour;
    return colour;
}

} // namespace

RunProps readRunProps(XmlReader& x)
{
    RunProps p;
    const int depth = x.depth();
    while (x.nextChild(depth)) {
        if (x.ns() != kWordMain) {
            x.skip();
            continue;
        }
        const std::string& name = x.local();
        if (name == "rStyle") {
            p.style = val(x).value_or("");
        } else if (name == "rFonts") {
            readFonts(x, p);
        } else if (name == "b") {
            p.bold = parseOnOff(val(x));
        } else if (name == "i") {
            p.italic = parseOnOff(val(x));
        } else if (name == "u") {
            const std::string kind = val(x).value_or("single");
            p.underline = kind != "none";
            p.otherUnderline = kind != "none" && kind != "single" && kind != "words";
        } else if (name == "color") {
            if (auto v = val(x)) p.colour = parseColour(*v);
        } else if (name == "sz") {
            if (auto v = val(x)) {
                // Half points; later versions allow a length such as "12pt".
                const bool points = v->size() > 2 && v->compare(v->size() - 2, 2, "pt") == 0;
                const std::int64_t hps = points ? parseTwips(*v, 20, 32760, "字号") / 10 : parseNumber(*v, 1, 3276, "字号");
                p.halfPoints = static_cast<int>(std::max<std::int64_t>(hps, 2));
            }
        }
        x.skip();
    }
    return p;
}

ParagraphProps readParagraphProps(XmlReader& x, RunProps* mark, const std::function<void(XmlReader&)>& section)
{
    ParagraphProps p;
    const int depth = x.depth();
    while (x.nextChild(depth)) {
        if (x.ns() != kWordMain) {
            x.skip();
            continue;
        }
        const std::string& name = x.local();
        if (name == "pStyle") {
            p.style = val(x).value_or("");
        } else if (name == "jc") {
            const std::string v = val(x).value_or("");
            if (v == "left" || v == "start") p.alignment = 0;
            else if (v == "center") p.alignment = 1;
            else if (v == "right" || v == "end") p.alignment = 2;
            else if (v == "both" || v == "distribute" || v.find("Kashida") != std::string::npos || v == "thaiDistribute") p.alignment = 3;
        } else if (name == "ind") {
            if (auto v = x.attribute(kWordMain, "firstLine")) p.firstLine = parseTwips(*v, -31680, 31680, "首行缩进");
            if (auto v = x.attribute(kWordMain, "hanging")) p.firstLine = -parseTwips(*v, -31680, 31680, "悬挂缩进");
            if (auto v = x.attribute(kWordMain, "firstLineChars")) p.firstLineChars = static_cast<std::int32_t>(parseNumber(*v, -100000, 100000, "首行缩进"));
            if (auto v = x.attribute(kWordMain, "hangingChars")) p.firstLineChars = -static_cast<std::int32_t>(parseNumber(*v, -100000, 100000, "悬挂缩进"));
            if (p.firstLineChars == 0) p.firstLineChars.reset();
        } else if (name == "numPr") {
            bool numbered = true;
            const int at = x.depth();
            while (x.next() && !(x.isEnd() && x.depth() == at))
                if (x.isStart() && x.is(kWordMain, "numId")) numbered = val(x).value_or("0") != "0";
            p.numbered = numbered;
            continue;
        } else if (name == "rPr" && mark) {
            *mark = readRunProps(x);
            continue;
        } else if (name == "sectPr" && section) {
            section(x);
            continue;
        }
        x.skip();
    }
    return p;
}

std::string ThemeFonts::face(const std::string& role) const
{
    if (role == "majorAscii" || role == "majorHAnsi") return majorLatin;
    if (role == "minorAscii" || role == "minorHAnsi") return minorLatin;
    if (role == "majorEastAsia") return majorEastAsian;
    if (role == "minorEastAsia") return minorEastAsian;
    return "";
}

ThemeFonts readTheme(XmlReader& x, const std::string& eastAsianScript)
{
    ThemeFonts fonts;
    std::string* latin = nullptr;
    std::string* eastAsian = nullptr;
    std::string scriptFace;
    auto finish = [&] {
        if (eastAsian && eastAsian->empty()) *eastAsian = scriptFace;
        latin = eastAsian = nullptr;
        scriptFace.clear();
    };
    while (x.next()) {
        if (x.ns() != names::kDrawingMain) continue;
        if (x.isEnd() && (x.local() == "majorFont" || x.local() == "minorFont")) finish();
        if (!x.isStart()) continue;
        if (x.local() == "majorFont") {
            latin = &fonts.majorLatin;
            eastAsian = &fonts.majorEastAsian;
        } else if (x.local() == "minorFont") {
            latin = &fonts.minorLatin;
            eastAsian = &fonts.minorEastAsian;
        } else if (latin && x.local() == "latin") {
            *latin = x.attribute(nullptr, "typeface").value_or("");
        } else if (eastAsian && x.local() == "ea") {
            *eastAsian = x.attribute(nullptr, "typeface").value_or("");
        } else if (eastAsian && x.local() == "font" && x.attribute(nullptr, "script").value_or("") == eastAsianScript) {
            scriptFace = x.attribute(nullptr, "typeface").value_or("");
        }
    }
    return fonts;
}

void StyleSheet::read(XmlReader& x)
{
    while (x.next()) {
        if (!x.isStart() || x.ns() != kWordMain) continue;
        if (x.local() == "rPrDefault" || x.local() == "pPrDefault") {
            const bool run = x.local() == "rPrDefault";
            const int depth = x.depth();
            while (x.nextChild(depth)) {
                if (run && x.is(kWordMain, "rPr")) defaultRun_ = readRunProps(x);
                else if (!run && x.is(kWordMain, "pPr")) defaultParagraph_ = readParagraphProps(x, nullptr);
                else x.skip();
            }
        } else if (x.local() == "style") {
            if (styles_.size() == kMostStyles) damaged("样式多得不合常理");
            Style style;
            style.type = x.attribute(kWordMain, "type").value_or("paragraph");
            const std::string id = x.attribute(kWordMain, "styleId").value_or("");
            if (parseOnOff(x.attribute(kWordMain, "default")) && x.attribute(kWordMain, "default")) defaults_.emplace(style.type, id);
            const int depth = x.depth();
            while (x.nextChild(depth)) {
                if (x.is(kWordMain, "basedOn")) style.basedOn = val(x).value_or("");
                else if (x.is(kWordMain, "rPr")) { style.run = readRunProps(x); continue; }
                else if (x.is(kWordMain, "pPr")) { style.paragraph = readParagraphProps(x, nullptr); continue; }
                else if (x.is(kWordMain, "tblPr")) continue;  // read through, for its cell margins
                else if (x.is(kWordMain, "tblCellMar")) {
                    const int at = x.depth();
                    while (x.nextChild(at))
                        if (x.is(kWordMain, "left") || x.is(kWordMain, "start"))
                            if (auto w = x.attribute(kWordMain, "w")) style.cellMargin = parseTwips(*w, 0, 31680, "单元格边距");
                    continue;
                }
                x.skip();
            }
            styles_.emplace(id, std::move(style));
        }
    }
}

std::vector<const Style*> StyleSheet::chain(const std::string& styleId, const std::string& type) const
{
    std::vector<const Style*> out;
    std::set<std::string> seen;
    std::string id = styleId;
    if (id.empty()) {
        const auto d = defaults_.find(type);
        if (d == defaults_.end()) return out;
        id = d->second;
    }
    while (!id.empty() && out.size() < kMostBases && seen.insert(id).second) {
        const auto it = styles_.find(id);
        if (it == styles_.end() || it->second.type != type) break;
        out.push_back(&it->second);
        id = it->second.basedOn;
    }
    return {out.rbegin(), out.rend()};
}

RunProps StyleSheet::paragraphRun(const std::string& styleId) const
{
    const auto [it, added] = paragraphRuns_.try_emplace(styleId, defaultRun_);
    if (added)
        for (const Style* s : chain(styleId, "paragraph")) it->second.then(s->run);
    return it->second;
}

ParagraphProps StyleSheet::paragraph(const std::string& styleId) const
{
    const auto [it, added] = paragraphs_.try_emplace(styleId, defaultParagraph_);
    if (added)
        for (const Style* s : chain(styleId, "paragraph")) it->second.then(s->paragraph);
    return it->second;
}

RunProps StyleSheet::characterRun(const std::string& styleId) const
{
    if (styleId.empty()) return {};
    const auto [it, added] = characterRuns_.try_emplace(styleId);
    if (added)
        for (const Style* s : chain(styleId, "character")) it->second.then(s->run);
    return it->second;
}

std::optional<std::int32_t> StyleSheet::cellMargin(const std::string& styleId) const
{
    std::optional<std::int32_t> margin;
    for (const Style* s : chain(styleId, "table"))
        if (s->cellMargin) margin = s->cellMargin;
    if (!margin && !styleId.empty()) return cellMargin("");
    return margin;
}

} // namespace docfile::ooxml
