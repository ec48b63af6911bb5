// The reader's view of formatting: the character and paragraph
// properties it looks at, gathered from property modifiers, and the
// styles they come from, resolved through their bases.
#pragma once

#include "docfile/budget.h"
#include "docfile/word97/reader_records.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <vector>

namespace docfile::reader {

namespace sprm = records::sprm;
using records::Std;
using records::TDefTable;

// A change to an on/off property: set it, leave it, or flip it.
enum class Toggle : std::uint8_t { Keep, Off, On, Invert };

inline Toggle combine(Toggle earlier, Toggle later)
{
    if (later != Toggle::Invert) return later == Toggle::Keep ? earlier : later;
    switch (earlier) {
    case Toggle::Keep: return Toggle::Invert;
    case Toggle::Off: return Toggle::On;
    case Toggle::On: return Toggle::Off;
    case Toggle::Invert: return Toggle::Keep;
    }
    return later;
}

inline bool applyToggle(Toggle t, bool value)
{
    switch (t) {
    case Toggle::Off: return false;
    case Toggle::On: return true;
    case Toggle::Invert: return !value;
    case Toggle::Keep: break;
    }
    return value;
}

inline Toggle toggleOperand(std::uint8_t v)
{
    // 0 and 1 set the value; 0x80 keeps the style's; 0x81 flips it.
    if (v == 0) return Toggle::Off;
    if (v == 1) return Toggle::On;
    if (v == 0x81) return Toggle::Invert;
    return Toggle::Keep;
}

// A symbol font's character standing in for the character in the text.
struct Symbol {
    std::uint16_t ftc = 0, code = 0;
};

// Character properties the reader looks at.
struct Chp {
    std::array<std::uint16_t, 3> ftc{};  // Latin, East Asian, other
    int hps = 20;                        // half points
    bool bold = false, italic = false;
    std::uint8_t kul = 0;                         // underline kind: 0 none, 1 single, ...
    std::uint32_t colour = kAutomaticColour;      // 0xRRGGBB or automatic
    std::optional<Symbol> symbol;
};

// A COLORREF (red, green, blue, then 0xFF for automatic) as the model's colour.
inline std::uint32_t colourOfColorref(std::uint32_t cv)
{
    if ((cv >> 24) == 0xFF) return kAutomaticColour;
    return ((cv & 0xFF) << 16) | (cv & 0xFF00) | ((cv >> 16) & 0xFF);
}

inline std::uint32_t colourOfIco(std::uint8_t ico)
{
    return ico > 0 && ico < records::kIcoColours.size() ? records::kIcoColours[ico] : kAutomaticColour;
}

// Changes to character properties, gathered from one or more grpprls so
// that a style's changes are worked out once and applied cheaply.
struct ChpDelta {
    std::array<std::optional<std::uint16_t>, 3> ftc;
    std::optional<int> hps;
    Toggle bold = Toggle::Keep, italic = Toggle::Keep;
    std::optional<std::uint8_t> kul;
    std::optional<std::uint32_t> colour;
    std::optional<std::uint16_t> characterStyle;
    std::optional<Symbol> symbol;

    void collect(View grpprl)
    {
        forEachSprm(grpprl, [this](std::uint16_t op, View v) {
            switch (op) {
            case sprm::CRgFtc0: ftc[0] = v.u16(0); break;
            case sprm::CRgFtc1: ftc[1] = v.u16(0); break;
            case sprm::CRgFtc2: ftc[2] = v.u16(0); break;
            case sprm::CHps: hps = std::max<int>(2, v.u16(0)); break;
            case sprm::CFBold: bold = combine(bold, toggleOperand(v.u8(0))); break;
            case sprm::CFItalic: italic = combine(italic, toggleOperand(v.u8(0))); break;
            case sprm::CKul: kul = v.u8(0); break;
            case sprm::CIco: colour = colourOfIco(v.u8(0)); break;
            case sprm::CCv: colour = colourOfColorref(v.u32(0)); break;
            case sprm::CIstd: characterStyle = v.u16(0); break;
            case sprm::CSymbol: symbol = Symbol{v.u16(0), v.u16(2)}; break;
            default: break;
            }
        });
    }
    void then(const ChpDelta& later)
    {
        for (int k = 0; k < 3; ++k) if (later.ftc[k]) ftc[k] = later.ftc[k];
        if (later.hps) hps = later.hps;
        bold = combine(bold, later.bold);
        italic = combine(italic, later.italic);
        if (later.kul) kul = later.kul;
        if (later.colour) colour = later.colour;
        if (later.symbol) symbol = later.symbol;
    }
    void applyTo(Chp& chp) const
    {
        for (int k = 0; k < 3; ++k) if (ftc[k]) chp.ftc[k] = *ftc[k];
        if (hps) chp.hps = *hps;
        chp.bold = applyToggle(bold, chp.bold);
        chp.italic = applyToggle(italic, chp.italic);
        if (kul) chp.kul = *kul;
        if (colour) chp.colour = *colour;
        if (symbol) chp.symbol = symbol;
    }
};

// Paragraph properties the reader looks at, with the table marks.
struct Pap {
    int jc = 0;
    std::int32_t firstIndent = 0;
    bool inTable = false, ttp = false, innerTtp = false;
    std::optional<int> itap;
    int ilfo = 0;
    std::optional<TDefTable> row;  // on a row's end mark
    struct VertAlign { std::uint8_t first, limit, value; };
    std::vector<VertAlign> vertAligns;
    std::optional<std::int16_t> gapHalf;       // half the space between cells' text
    std::optional<std::uint16_t> paddingLeft;  // a row's own left cell margin
    std::int16_t rowHeight = 0;                // > 0 at least, < 0 exactly, 0 automatic
    struct VertMerge { std::uint8_t cell, flag; };
    std::vector<VertMerge> vertMerges;

    // The left and right margin inside the row's cells.
    std::int32_t cellMargin() const
    {
        if (paddingLeft) return *paddingLeft;
        return std::max<std::int32_t>(gapHalf.value_or(0), 0);
    }

    int depth() const
    {
        if (itap) return std::max(*itap, inTable ? 1 : 0);
        return inTable ? 1 : 0;
    }

    void collect(View grpprl, View data, Budget& budget, bool allowHuge = true)
    {
        budget.charge(grpprl.size());
        forEachSprm(grpprl, [&](std::uint16_t op, View v) {
            switch (op) {
            case sprm::PJc80: case sprm::PJc: jc = v.u8(0); break;
            case sprm::PDxaLeft180: case sprm::PDxaLeft1: firstIndent = v.i16(0); break;
            case sprm::PFInTable: inTable = v.u8(0) != 0; break;
            case sprm::PFTtp: ttp = v.u8(0) != 0; break;
            case sprm::PFInnerTtp: innerTtp = v.u8(0) != 0; break;
            case sprm::PItap: itap = std::clamp(v.i32(0), 0, 64); break;
            case sprm::PDtap: itap = std::clamp(itap.value_or(0) + std::clamp(v.i32(0), -64, 64), 0, 64); break;
            case sprm::PIlfo: ilfo = v.i16(0); break;
            case sprm::TDefTable: row = reader::parseTDefTable(v); break;
            case sprm::TDxaGapHalf: gapHalf = v.i16(0); break;
            case sprm::TCellPaddingDefault:
                // Size byte, the cells (first, limit), the sides, the unit (3: twips), the width.
                if (v.size() >= 7 && (v.u8(3) & 0x02) && v.u8(4) == 3) paddingLeft = v.u16(5);
                break;
            case sprm::TDyaRowHeight: rowHeight = v.i16(0); break;
            case sprm::TVertMerge:
                if (v.size() >= 3 && vertMerges.size() < 64) vertMerges.push_back({v.u8(1), v.u8(2)});
                break;
            case sprm::TVertAlign:
                // A row has at most 63 cells; more settings than that add nothing.
                if (v.size() >= 4 && vertAligns.size() < 64) vertAligns.push_back({v.u8(1), v.u8(2), v.u8(3)});
                break;
            case sprm::PHugePapx:
                // Properties too large for a formatting page live in the Data stream.
                if (allowHuge) {
                    const std::uint32_t at = v.u32(0);
                    const std::uint16_t cb = data.u16(at);
                    collect(data.sub(at + 2ull, cb, "段落格式"), data, budget, false);
                }
                break;
            default: break;
            }
        });
    }
};

struct ParagraphStyle {
    Pap pap;
    ChpDelta chp;
};

// Styles resolved through their bases, each once: a chain of bases that
// loops counts as ending where it would loop.
class Styles {
public:
    Styles(const reader::StyleSheet& sheet, View data, Budget& budget)
        : sheet_(sheet), data_(data), budget_(budget), marks_(sheet.slots.size(), 0)
    {
    }

    const ParagraphStyle& paragraph(std::uint16_t istd)
    {
        return resolve(paragraphs_, istd, rootParagraph_, [this](ParagraphStyle& s, const Std& std) {
            s.pap.collect(bytes(std.paragraphSprms), data_, budget_, false);
            ChpDelta own;
            own.collect(bytes(std.characterSprms));
            s.chp.then(own);
        });
    }
    const ChpDelta& character(std::uint16_t istd)
    {
        return resolve(characters_, istd, rootCharacter_, [](ChpDelta& d, const Std& std) {
            ChpDelta own;
            own.collect(bytes(std.characterSprms));
            d.then(own);
        });
    }

private:
    static View bytes(const std::vector<std::uint8_t>& v) { return View(v.data(), v.size(), "样式表"); }

    // Styles are worked out only when a paragraph or run uses them, and
    // kept by number, so an empty slot costs nothing.
    template <typename T, typename Apply>
    const T& resolve(std::unordered_map<std::uint16_t, T>& memo, std::uint16_t istd, const T& root, Apply apply)
    {
        ++generation_;
        std::vector<std::uint16_t> walk;
        const T* base = &root;
        for (std::uint16_t at = istd; const Std* style = sheet_.find(at); at = style->istdBase) {
            if (const auto known = memo.find(at); known != memo.end()) { base = &known->second; break; }
            if (marks_[at] == generation_) break;
            marks_[at] = generation_;
            walk.push_back(at);
        }
        for (auto it = walk.rbegin(); it != walk.rend(); ++it) {
            T value = *base;
            apply(value, *sheet_.find(*it));
            base = &(memo[*it] = std::move(value));
        }
        return *base;
    }

    const reader::StyleSheet& sheet_;
    View data_;
    Budget& budget_;
    std::unordered_map<std::uint16_t, ParagraphStyle> paragraphs_;
    std::unordered_map<std::uint16_t, ChpDelta> characters_;
    std::vector<std::uint32_t> marks_;
    std::uint32_t generation_ = 0;
    ParagraphStyle rootParagraph_;
    ChpDelta rootCharacter_;
};

} // namespace docfile::reader
