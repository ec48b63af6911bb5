// The document text and its formatting as the writer stores them: the
// characters as UTF-16 pieces, each run's character properties and each
// paragraph's properties as entries for the formatting pages.
#include "docfile/text.h"
#include "docfile/word97/writer_text.h"

#include <cmath>

namespace docfile::writer {

using namespace records;

namespace {

// A piece of text is found by a byte offset of 30 bits.
constexpr std::size_t kMaxStoredCharacters = (0x40000000 - kTextStart) / 2;

} // namespace

void TextBuilder::build()
{
    for (const Block& block : doc_.blocks) {
        if (const auto* p = std::get_if<Paragraph>(&block)) paragraph(*p, false, kParagraphMark);
        else table(std::get<Table>(block));
    }
    // Word needs the text to end with a paragraph outside any table.
    if (doc_.blocks.empty() || std::holds_alternative<Table>(doc_.blocks.back())) paragraph(Paragraph{}, false, kParagraphMark);
}

void TextBuilder::put(char16_t c)
{
    ++characterCount;
    store(c);
}

void TextBuilder::store(char16_t c)
{
    if (stored.size() == kMaxStoredCharacters) throw Error("文档的文字太多，超出了 Word 文件能容纳的长度");
    stored += c;
}

// catdoc reads the stored text directly and takes a 256-byte stretch
// for UTF-16 only if it finds a space, a return or ASCII punctuation
// in it, which rows of Chinese cells seldom have. A return stored
// after each row, outside every piece, gives it one where it does no
// harm: it ends catdoc's line where the row ends anyway, and readers
// that follow the piece table never see it.
// The formatting pages cover it with entries of its own, so that no
// character's or paragraph's entry reaches outside its piece.
void TextBuilder::storeOutsideText(char16_t c)
{
    const std::uint32_t start = fc();
    store(c);
    pieces.push_back({characterCount, static_cast<std::uint32_t>(stored.size())});
    characters.push_back({start, fc(), {}});
    paragraphs.push_back({start, fc(), {static_cast<std::uint8_t>(kIstdNormal), 0}});
}

std::vector<std::uint8_t> TextBuilder::runProperties(const Run& run)
{
    Sprms s;
    if (!run.font.empty()) {
        const std::uint16_t f = fonts_.indexOf(run.font);
        s.w(sprm::CRgFtc0, f).w(sprm::CRgFtc1, f).w(sprm::CRgFtc2, f);
    }
    if (!(run.size > 0) || run.size > 1638) throw Error("字号超出了 Word 能记录的范围");
    s.w(sprm::CHps, static_cast<std::uint16_t>(std::lround(run.size * 2)));
    if (run.bold) s.b(sprm::CFBold, 1);
    if (run.italic) s.b(sprm::CFItalic, 1);
    if (run.underline) s.b(sprm::CKul, 1);  // a single line
    if (run.colour != kAutomaticColour) {
        if (run.colour > 0xFFFFFF) throw Error("文字颜色无效");
        // The nearest of Word 97's sixteen colours for readers that know
        // no others, then the colour itself, which later readers take.
        s.b(sprm::CIco, nearestIco(run.colour));
        const std::uint32_t r = run.colour >> 16, g = (run.colour >> 8) & 0xFF, b = run.colour & 0xFF;
        s.l(sprm::CCv, r | (g << 8) | (b << 16));
    }
    return s.bytes;
}

std::uint8_t TextBuilder::nearestIco(std::uint32_t colour)
{
    auto channel = [](std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
    std::uint8_t best = 1;
    long bestDistance = -1;
    for (std::uint8_t ico = 1; ico < kIcoColours.size(); ++ico) {
        long distance = 0;
        for (int shift : {0, 8, 16}) {
            const long d = channel(colour, shift) - channel(kIcoColours[ico], shift);
            distance += d * d;
        }
        if (bestDistance < 0 || distance < bestDistance) {
            best = ico;
            bestDistance = distance;
        }
    }
    return best;
}

void TextBuilder::addCharacters(std::uint32_t start, std::vector<std::uint8_t> properties)
{
    if (!characters.empty() && characters.back().properties == properties && characters.back().fcEnd == start)
        characters.back().fcEnd = fc();
    else
        characters.push_back({start, fc(), std::move(properties)});
}

void TextBuilder::addParagraph(std::uint32_t start, const Sprms& sprms)
{
    std::vector<std::uint8_t> papx{static_cast<std::uint8_t>(kIstdNormal), 0};
    papx.insert(papx.end(), sprms.bytes.begin(), sprms.bytes.end());
    if (papx.size() > 2 * 255) throw Error("表格的一行单元格太多，无法保存");
    paragraphs.push_back({start, fc(), std::move(papx)});
}

void TextBuilder::paragraph(const Paragraph& p, bool inTable, char16_t mark)
{
    if (p.alignment < 0 || p.alignment > 3) throw Error("段落的对齐方式无效");
    const std::uint32_t start = fc();
    std::vector<std::uint8_t> last;
    for (const Run& run : p.runs) {
        const std::uint32_t runStart = fc();
        for (char16_t c : text::utf8ToUtf16(run.text)) {
            if (c == u'\n') c = kLineBreak;
            else if (c < 0x20 && c != u'\t') continue;  // marks with a meaning of their own cannot be text
            put(c);
        }
        last = runProperties(run);
        if (fc() > runStart) addCharacters(runStart, last);
    }
    // The paragraph mark looks like the paragraph's last run, or as the
    // model says for an empty paragraph, so that an empty-looking line
    // keeps its height. It gets an entry of its own,
    // as Word writes it: LibreOffice loses the formatting of a
    // paragraph just before a table when one entry spans its text and mark.
    if (p.runs.empty()) last = runProperties(p.mark);
    const std::uint32_t markStart = fc();
    put(mark);
    characters.push_back({markStart, fc(), std::move(last)});
    Sprms s;
    // Word 2000 and later mark every paragraph of a table with its
    // depth as well; some readers look only at that.
    if (inTable) s.b(sprm::PFInTable, 1).l(sprm::PItap, 1);
    if (p.alignment != 0) s.b(sprm::PJc80, static_cast<std::uint8_t>(p.alignment));
    if (p.firstLineIndent != 0) {
        if (p.firstLineIndent < -kTwipsLimit || p.firstLineIndent > kTwipsLimit) throw Error("首行缩进超出了 Word 能记录的范围");
        s.w(sprm::PDxaLeft180, static_cast<std::uint16_t>(p.firstLineIndent));
    }
    addParagraph(start, s);
}

} // namespace docfile::writer
