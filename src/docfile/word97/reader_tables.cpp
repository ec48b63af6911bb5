// Tables from the paragraphs' table marks: the paragraphs of a cell up to
// its cell mark, the cells of a row up to the row's end mark, whose
// definition gives the cells their widths, alignment and merges.
#include "docfile/word97/reader_document.h"

#include <algorithm>
#include <cstdlib>

namespace docfile::reader {

using namespace records;

void BlockBuilder::add(ReadParagraph&& p)
{
    const int depth = p.pap.depth();
    if (depth == 0) {
        closeTable();
        blocks_.emplace_back(std::move(p.paragraph));
        return;
    }
    if (!table_) {
        table_.emplace();
        table_->cellMargin = 0;  // what a row without margins of its own has
        marginKnown_ = false;
    }
    if (depth > 1) {
        // A table inside a cell: its cells' paragraphs join the outer cell.
        report_.add("嵌套表格（已展开为所在单元格的文字）");
        if (!p.pap.innerTtp) cell_.paragraphs.push_back(std::move(p.paragraph));
        cellOpen_ = cellOpen_ || !p.pap.innerTtp;
        return;
    }
    if (p.pap.ttp) {
        endRow(&p.pap);
        return;
    }
    cell_.paragraphs.push_back(std::move(p.paragraph));
    cellOpen_ = true;
    if (p.mark == kCellMark) endCell();
}

void BlockBuilder::finish()
{
    closeTable();
    // Word needs a paragraph after a closing table; the model does not.
    if (blocks_.size() >= 2 && std::holds_alternative<Table>(blocks_[blocks_.size() - 2])) {
        const auto* last = std::get_if<Paragraph>(&blocks_.back());
        if (last && last->runs.empty()) blocks_.pop_back();
    }
}

void BlockBuilder::endCell()
{
    row_.cells.push_back(std::move(cell_));
    cell_ = Cell{};
    cellOpen_ = false;
}

void BlockBuilder::endRow(const Pap* pap)
{
    if (cellOpen_) endCell();
    if (pap && pap->row) {
        // The model keeps one cell margin for a table: its first row's.
        if (!marginKnown_) table_->cellMargin = pap->cellMargin();
        marginKnown_ = true;
        shapeRow(*pap);
    }
    table_->rows.push_back(std::move(row_));
    row_ = Row{};
}

int BlockBuilder::verticalMergeOf(std::uint8_t flag)
{
    if (flag == kVertMergeRestart) return 1;
    return flag == kVertMergeContinue ? 2 : 0;
}

// Cell widths, alignment and vertical merges from the row's definition,
// and the row's height; cells merged across into the cell before them
// become part of it.
void BlockBuilder::shapeRow(const Pap& pap)
{
    const TDefTable& def = *pap.row;
    if (pap.rowHeight != 0) {
        row_.heightRule = pap.rowHeight > 0 ? 1 : 2;
        row_.height = std::abs(static_cast<std::int32_t>(pap.rowHeight));
    }
    std::vector<std::uint16_t> flags(row_.cells.size(), 0);
    for (std::size_t i = 0; i < row_.cells.size(); ++i) {
        if (i + 1 < def.cellEdges.size()) row_.cells[i].width = def.cellEdges[i + 1] - def.cellEdges[i];
        if (i < def.cells.size()) flags[i] = def.cells[i].flags;
        row_.cells[i].verticalAlignment = std::min((flags[i] >> 7) & 3, 2);
        if (flags[i] & kTcVertMerge) row_.cells[i].verticalMerge = flags[i] & kTcVertRestart ? 1 : 2;
    }
    for (const Pap::VertAlign& va : pap.vertAligns)
        for (std::size_t i = va.first; i < va.limit && i < row_.cells.size(); ++i)
            row_.cells[i].verticalAlignment = std::min<int>(va.value, 2);
    for (const Pap::VertMerge& vm : pap.vertMerges)
        if (vm.cell < row_.cells.size()) row_.cells[vm.cell].verticalMerge = verticalMergeOf(vm.flag);
    std::vector<Cell> cells;
    for (std::size_t i = 0; i < row_.cells.size(); ++i) {
        if (i > 0 && (flags[i] & 3) == 2 && !cells.empty()) {
            Cell& into = cells.back();
            into.width += row_.cells[i].width;
            for (Paragraph& p : row_.cells[i].paragraphs)
                if (!p.runs.empty()) into.paragraphs.push_back(std::move(p));
            continue;
        }
        cells.push_back(std::move(row_.cells[i]));
    }
    row_.cells = std::move(cells);
}

void BlockBuilder::closeTable()
{
    if (!table_) return;
    if (cellOpen_ || !row_.cells.empty()) endRow(nullptr);
    blocks_.emplace_back(std::move(*table_));
    table_.reset();
}

} // namespace docfile::reader
