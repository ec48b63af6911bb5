// Tables as Word 97 table rows: each cell's paragraphs end with a cell
// mark, and each row with an end mark whose paragraph properties carry the
// row's definition, its cell margins and its height.
#include "docfile/word97/writer_text.h"

#include <algorithm>

namespace docfile::writer {

using namespace records;

namespace {

constexpr std::uint32_t kCellBorder = 0x04 | (0x01 << 8);  // 0.5 pt single line, automatic colour
constexpr std::size_t kMaxCells = 20;                     // a row definition must fit in a formatting page

} // namespace

void TextBuilder::table(const Table& t)
{
    const std::int32_t textWidth = doc_.section.pageWidth - doc_.section.marginLeft - doc_.section.marginRight;
    if (t.cellMargin < 0 || t.cellMargin > kTwipsLimit / 2) throw Error("表格单元格的边距超出了 Word 能记录的范围");
    for (const Row& row : t.rows) {
        if (row.cells.empty()) throw Error("表格中有一行没有单元格");
        if (row.cells.size() > kMaxCells) throw Error("表格的一行最多可有 20 个单元格");
        TDefTable def;
        def.cellEdges.push_back(0);
        for (const Cell& cell : row.cells) {
            if (cell.verticalAlignment < 0 || cell.verticalAlignment > 2) throw Error("单元格的垂直对齐方式无效");
            if (cell.verticalMerge < 0 || cell.verticalMerge > 2) throw Error("单元格的纵向合并设置无效");
            // A cell without a width gets an equal share of the text width.
            const std::int32_t width = cell.width > 0 ? cell.width : std::max<std::int32_t>(textWidth / static_cast<std::int32_t>(row.cells.size()), 1);
            // Added in 64 bits: a width near the largest int would wrap round to a small edge.
            const std::int64_t edge = std::int64_t{def.cellEdges.back()} + width;
            if (edge > kTwipsLimit) throw Error("表格太宽，超出了 Word 能记录的范围");
            def.cellEdges.push_back(static_cast<std::int16_t>(edge));
            Tc80 tc;
            tc.flags = static_cast<std::uint16_t>(cell.verticalAlignment << 7);
            // Vertical merges go in the cells' flags only, which every
            // Word reads: a modifier per cell as well would not fit a
            // row of 20 cells in a formatting page.
            if (cell.verticalMerge == 1) tc.flags |= kTcVertMerge | kTcVertRestart;
            if (cell.verticalMerge == 2) tc.flags |= kTcVertMerge;
            tc.width = static_cast<std::uint16_t>(width);
            tc.borders.fill(kCellBorder);
            def.cells.push_back(tc);

            const std::size_t count = cell.paragraphs.empty() ? 1 : cell.paragraphs.size();
            for (std::size_t k = 0; k < count; ++k)
                paragraph(cell.paragraphs.empty() ? Paragraph{} : cell.paragraphs[k], true, k + 1 == count ? kCellMark : kParagraphMark);
        }
        // The row's end mark carries the row's definition.
        const std::uint32_t start = fc();
        put(kCellMark);
        addCharacters(start, {});
        // The cells' margins, inside the widths the edges give: as half
        // the gap between cells for Word 97 and the readers that know
        // no more, and as the row's cell padding for Word 2000 and later.
        Sprms s;
        s.b(sprm::PFInTable, 1).b(sprm::PFTtp, 1).l(sprm::PItap, 1);
        s.w(sprm::TDxaGapHalf, static_cast<std::uint16_t>(t.cellMargin));
        appendTDefTable(s, def);
        if (row.heightRule < 0 || row.heightRule > 2) throw Error("表格的行高设置无效");
        if (row.heightRule != 0) {
            if (row.height < 1 || row.height > kTwipsLimit) throw Error("表格的行高超出了 Word 能记录的范围");
            const std::int32_t height = row.heightRule == 1 ? row.height : -row.height;
            s.w(sprm::TDyaRowHeight, static_cast<std::uint16_t>(height));
        }

        s.op(sprm::TCellPaddingDefault);
        s.bytes.insert(s.bytes.end(), {6, 0, static_cast<std::uint8_t>(def.cells.size()), 0x02 | 0x08, 3});
        s.bytes.push_back(static_cast<std::uint8_t>(t.cellMargin));
        s.bytes.push_back(static_cast<std::uint8_t>(t.cellMargin >> 8));
        addParagraph(start, s);
        storeOutsideText(kParagraphMark);
    }
}

void TextBuilder::appendTDefTable(Sprms& s, const TDefTable& def)
{
    ByteWriter operand;
    operand.u8(static_cast<std::uint32_t>(def.cells.size()));
    for (std::int16_t edge : def.cellEdges) operand.u16(static_cast<std::uint16_t>(edge));
    for (const Tc80& tc : def.cells) {
        operand.u16(tc.flags);
        operand.u16(tc.width);
        for (std::uint32_t b : tc.borders) operand.u32(b);
    }
    s.w(sprm::TDefTable, static_cast<std::uint16_t>(operand.size() + 1));
    s.bytes.insert(s.bytes.end(), operand.bytes().begin(), operand.bytes().end());
}

} // namespace docfile::writer
