// The characters of a paragraph: their formatting from the paragraph's
// style, a character style, their formatting page and their piece, and
// the runs of one look they are gathered into, with fields, breaks and
// symbol fonts' characters sorted out on the way.
#include "docfile/word97/reader_document.h"
#include "docfile/fonts.h"
#include "docfile/symbols.h"
#include "docfile/text.h"

#include <algorithm>

namespace docfile::reader {

using namespace records;

// The formatting of the character at cp; *runEnd (when given, holding
// an upper bound) becomes where that formatting ends.
Chp DocumentReader::characterAt(std::uint32_t cp, const Chp& styleChp, std::uint32_t* runEnd)
{
    const Piece& piece = pieces_.pieces[pieces_.find(cp)];
    const std::uint32_t fc = fcOf(piece, cp);
    const FkpIndex::Hit chpx = chpx_.find(fc);
    if (runEnd) {
        *runEnd = std::min(*runEnd, piece.cpEnd);
        const std::uint64_t width = piece.compressed ? 1 : 2;
        if (chpx.fcEnd > fc)
            *runEnd = static_cast<std::uint32_t>(std::min<std::uint64_t>(*runEnd, cp + (chpx.fcEnd - fc + width - 1) / width));
    }
    ChpDelta direct;
    direct.collect(chpx.grpprl);
    Chp chp = styleChp;
    if (direct.characterStyle && *direct.characterStyle != 10) styles_->character(*direct.characterStyle).applyTo(chp);
    direct.applyTo(chp);
    if ((piece.prm & 1) && (piece.prm >> 1) < prcCharacters_.size()) prcCharacters_[piece.prm >> 1].applyTo(chp);
    return chp;
}

// The look of text with these properties in the font numbered ftc.
Run DocumentReader::lookOf(const Chp& chp, std::uint16_t ftc, bool eastAsian) const
{
    Run look{{}, fontName(ftc, eastAsian), chp.hps / 2.0, chp.bold};
    look.italic = chp.italic;
    look.underline = chp.kul != 0;
    look.colour = chp.colour;
    return look;
}

void DocumentReader::RunBuilder::flush()
{
    if (!runs.empty()) runs.back().text = text::utf16ToUtf8(pending);
    pending.clear();
}

void DocumentReader::RunBuilder::add(char16_t c, Run&& look)
{
    if (runs.empty() || !(runs.back() == look)) {
        flush();
        runs.push_back(std::move(look));
    }
    pending += c;
}

void DocumentReader::addCharacter(char16_t c, const Chp& chp, RunBuilder& runs)
{
    // Fields: the code between begin and separator is dropped, the
    // result shown between separator and end is kept.
    switch (c) {
    case kFieldBegin:
        report_->add("域（只保留了显示的结果）");
        fields_.push_back(false);
        ++hiddenFields_;
        return;
    case kFieldSeparator:
        if (!fields_.empty() && !fields_.back()) { fields_.back() = true; --hiddenFields_; }
        return;
    case kFieldEnd:
        if (!fields_.empty()) { if (!fields_.back()) --hiddenFields_; fields_.pop_back(); }
        return;
    default: break;
    }
    if (hiddenFields_ > 0) return;
    switch (c) {
    case 0x01: case 0x08: report_->add("图片或图形"); return;
    case 0x09: break;
    case kLineBreak: c = u'\n'; break;
    case kPageBreak: report_->add("分页符"); return;
    case 0x0E: report_->add("分栏符"); return;
    case 0x1E: c = 0x2011; break;  // non-breaking hyphen
    default:
        if (c < 0x20) return;  // footnote and comment anchors, optional hyphens and the like
    }
    if (chp.symbol && c >= 0x20) {
        // The text holds a stand-in; the character is the symbol font's.
        const std::string& symbolFont = fontName(chp.symbol->ftc, false);
        const symbols::Character s = symbols::fromSymbolFont(symbolFont, chp.symbol->code);
        c = s.unit;
        if (!s.mapped) {
            runs.add(c, lookOf(chp, chp.symbol->ftc, false));
            return;
        }
    }
    const bool eastAsian = text::isEastAsian(c);
    runs.add(c, lookOf(chp, eastAsian ? chp.ftc[1] : chp.ftc[0], eastAsian));
}

// A font number the font table does not name (or names without a name)
// stands for the document's default font, so that the model always names
// the font: the style sheet's default for that kind of text, or the fonts
// an empty name means to the writers.
const std::string& DocumentReader::fontName(std::uint16_t ftc, bool eastAsian) const
{
    static const std::string latin = fonts::kLatinDefault, chinese = fonts::kChineseDefault;
    if (ftc < fontNames_.size() && !fontNames_[ftc].empty()) return fontNames_[ftc];
    const std::uint16_t fallback = sheet_.stshi.defaultFonts[eastAsian ? 1 : 0];
    if (fallback < fontNames_.size() && !fontNames_[fallback].empty()) return fontNames_[fallback];
    return eastAsian ? chinese : latin;
}

} // namespace docfile::reader
