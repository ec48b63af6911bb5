// The document's text through the piece table, cut into paragraphs at
// their marks, each with its paragraph properties from its style, its
// formatting page and its piece.
#include "docfile/word97/reader_document.h"
#include "docfile/text.h"

#include <algorithm>

namespace docfile::reader {

using namespace records;

namespace {

int alignmentOf(int jc)
{
    if (jc >= 0 && jc <= 3) return jc;
    return jc == 4 ? 3 : 0;  // distributed reads as justified; the rest as left
}

} // namespace

std::uint32_t DocumentReader::fcOf(const Piece& p, std::uint32_t cp) const
{
    return p.fc + (cp - p.cpStart) * (p.compressed ? 1u : 2u);
}

// The text of character positions [from, to).
std::u16string DocumentReader::decode(std::uint32_t from, std::uint32_t to)
{
    // Every character takes at least a byte of the stream.
    if (to - from > wd_.size()) damaged("文字长度超出了 WordDocument 流");
    std::u16string out;
    out.reserve(to - from);
    std::uint32_t cp = from;
    while (cp < to) {
        const std::size_t i = pieces_.find(cp);
        if (i == pieces_.pieces.size()) damaged("文本片段表中间有空缺");
        const Piece& p = pieces_.pieces[i];
        const std::uint32_t end = std::min(to, p.cpEnd);
        const std::uint64_t count = end - cp, width = p.compressed ? 1 : 2;
        // Pieces never share bytes in a sound file, so the text cannot
        // take more bytes than the stream has.
        decodedBytes_ += count * width;
        if (decodedBytes_ > wd_.size()) damaged("文本片段互相重叠");
        const View bytes = wd_.sub(p.fc + (cp - p.cpStart) * width, count * width, "正文文字");
        for (std::uint64_t k = 0; k < count; ++k)
            out += p.compressed ? text::fromCp1252(bytes.u8(k)) : static_cast<char16_t>(bytes.u16(2 * k));
        cp = end;
    }
    return out;
}

bool DocumentReader::endsSection(std::uint32_t cp) const
{
    return std::binary_search(sectionStarts_.begin(), sectionStarts_.end(), cp + 1)
        && cp + 1 < static_cast<std::uint32_t>(text_.size());
}

// Whether the paragraph formatting that holds the character at cp ends
// with it, as it does at a page break that ends its paragraph.
bool DocumentReader::endsParagraph(std::uint32_t cp) const
{
    const std::size_t i = pieces_.find(cp);
    if (i == pieces_.pieces.size()) return false;
    const Piece& piece = pieces_.pieces[i];
    const std::uint32_t fc = fcOf(piece, cp);
    return papx_.find(fc).fcEnd == fc + (piece.compressed ? 1u : 2u);
}

void DocumentReader::readBlocks(std::vector<Block>& blocks)
{
    BlockBuilder builder(blocks, *report_);
    std::uint32_t start = 0;
    const auto size = static_cast<std::uint32_t>(text_.size());
    for (std::uint32_t cp = 0; cp < size; ++cp) {
        const char16_t c = text_[cp];
        if (c == kParagraphMark || c == kCellMark || (c == kPageBreak && (endsSection(cp) || endsParagraph(cp)))) {
            builder.add(readParagraph(start, cp, cp));
            start = cp + 1;
        }
    }
    // Text that does not end with a paragraph mark takes the formatting of its last character.
    if (start < size) builder.add(readParagraph(start, size, size - 1));
    builder.finish();
}

// The paragraph of the characters [start, end), formatted as its mark at markCp says.
ReadParagraph DocumentReader::readParagraph(std::uint32_t start, std::uint32_t end, std::uint32_t markCp)
{
    ReadParagraph out;
    out.mark = end == markCp ? text_[markCp] : kParagraphMark;
    const std::uint32_t mark = markCp;
    const Piece& markPiece = pieces_.pieces[pieces_.find(mark)];
    const FkpIndex::Hit papx = papx_.find(fcOf(markPiece, mark));
    const ParagraphStyle& style = styles_->paragraph(papx.istd);
    out.pap = style.pap;
    out.pap.collect(papx.grpprl, data_, budget_);
    if (const View* prc = prcOf(markPiece)) out.pap.collect(*prc, data_, budget_);
    if (out.pap.ilfo > 0) report_->add("项目符号或编号");
    out.paragraph.alignment = alignmentOf(out.pap.jc);
    out.paragraph.firstLineIndent = out.pap.firstIndent;

    Chp styleChp;
    styleChp.ftc = sheet_.stshi.defaultFonts;
    style.chp.applyTo(styleChp);
    RunBuilder runs{out.paragraph.runs, {}};
    std::uint32_t cp = start;
    while (cp < end) {
        std::uint32_t runEnd = end;
        const Chp chp = characterAt(cp, styleChp, &runEnd);
        if (chp.kul > 1) report_->add("双线、点线等下划线（已读作单下划线）");
        for (; cp < runEnd; ++cp) addCharacter(text_[cp], chp, runs);
    }
    runs.finish();
    if (out.paragraph.runs.empty() && markCp < text_.size()) {
        // A paragraph without text (empty, or holding only what the model
        // leaves out, a picture say) keeps the look of its mark: its height.
        const Chp chp = characterAt(markCp, styleChp, nullptr);
        if (chp.kul > 1) report_->add("双线、点线等下划线（已读作单下划线）");
        out.paragraph.mark = lookOf(chp, chp.ftc[1], true);
    }
    return out;
}

// Formatting the piece carries by reference, if any. A piece's own
// one-property form is left aside: it stands for properties this
// model does not hold.
const View* DocumentReader::prcOf(const Piece& p) const
{
    if (!(p.prm & 1)) return nullptr;
    const std::size_t i = p.prm >> 1;
    return i < pieces_.prcs.size() ? &pieces_.prcs[i] : nullptr;
}

} // namespace docfile::reader
