#include "wordprocessor/tableediting.h"

#include "wordprocessor/docconvert.h"
#include "wordprocessor/document.h"

#include <QTextDocumentFragment>
#include <QTextTable>
#include <cmath>

namespace wordprocessor::tableediting {

namespace {

// Makes the cell at (row, column) look like `model`: its paragraph, the
// font it types in, its vertical alignment.
void lookLike(QTextTable* table, int row, int column, const QTextTableCell& model)
{
    const QTextTableCell cell = table->cellAt(row, column);
    if (!cell.isValid() || !model.isValid())
        return;
    QTextCursor source = model.firstCursorPosition();
    QTextCursor target = cell.firstCursorPosition();
    target.setBlockFormat(source.blockFormat());
    target.mergeBlockCharFormat(source.blockCharFormat());
    QTextTableCellFormat format = cell.format().toTableCellFormat();
    format.setVerticalAlignment(model.format().verticalAlignment());
    QTextTableCell(cell).setFormat(format);
}

} // namespace

CellRange selectedCells(const QTextCursor& cursor)
{
    CellRange range;
    QTextTable* table = cursor.currentTable();
    if (!table)
        return range;
    if (cursor.hasComplexSelection()) {
        cursor.selectedTableCells(&range.firstRow, &range.rows, &range.firstColumn, &range.columns);
        return range;
    }
    const QTextTableCell cell = table->cellAt(cursor);
    if (!cell.isValid())
        return range;
    return {cell.row(), cell.rowSpan(), cell.column(), cell.columnSpan()};
}

bool insertRows(const QTextCursor& cursor, bool below)
{
    QTextTable* table = cursor.currentTable();
    const CellRange range = selectedCells(cursor);
    if (!table || !range.valid())
        return false;
    const int at = below ? range.firstRow + range.rows : range.firstRow;
    const int modelRow = below ? at - 1 : range.firstRow;
    table->insertRows(at, range.rows);
    const int shiftedModel = below ? modelRow : modelRow + range.rows;
    for (int r = at; r < at + range.rows; ++r)
        for (int c = 0; c < table->columns(); ++c)
            lookLike(table, r, c, table->cellAt(shiftedModel, c));
    return true;
}

bool insertColumns(const QTextCursor& cursor, bool right)
{
    QTextTable* table = cursor.currentTable();
    const CellRange range = selectedCells(cursor);
    if (!table || !range.valid())
        return false;
    const int at = right ? range.firstColumn + range.columns : range.firstColumn;
    const int modelColumn = right ? at - 1 : range.firstColumn + range.columns;
    // A table laid out by fixed column widths gets the new columns as wide
    // as the one they are made beside.
    QTextTableFormat format = table->format();
    QList<QTextLength> widths = format.columnWidthConstraints();
    table->insertColumns(at, range.columns);
    if (widths.size() == table->columns() - range.columns) {
        const QTextLength width = widths.value(right ? at - 1 : range.firstColumn);
        for (int i = 0; i < range.columns; ++i)
            widths.insert(at, width);
        format.setColumnWidthConstraints(widths);
        table->setFormat(format);
    }
    for (int c = at; c < at + range.columns; ++c)
        for (int r = 0; r < table->rows(); ++r)
            lookLike(table, r, c, table->cellAt(r, modelColumn));
    return true;
}

bool removeRows(const QTextCursor& cursor)
{
    QTextTable* table = cursor.currentTable();
    const CellRange range = selectedCells(cursor);
    if (!table || !range.valid())
        return false;
    table->removeRows(range.firstRow, range.rows);
    return true;
}

bool removeColumns(const QTextCursor& cursor)
{
    QTextTable* table = cursor.currentTable();
    const CellRange range = selectedCells(cursor);
    if (!table || !range.valid())
        return false;
    QTextTableFormat format = table->format();
    QList<QTextLength> widths = format.columnWidthConstraints();
    const bool fixed = widths.size() == table->columns();
    table->removeColumns(range.firstColumn, range.columns);
    if (fixed && range.columns < widths.size()) {
        widths.remove(range.firstColumn, range.columns);
        format.setColumnWidthConstraints(widths);
        table->setFormat(format);
    }
    return true;
}

bool mergeCells(const QTextCursor& cursor)
{
    QTextTable* table = cursor.currentTable();
    const CellRange range = selectedCells(cursor);
    if (!table || !range.valid() || range.rows * range.columns < 2)
        return false;
    // As in Word, what each cell held becomes paragraphs of the merged
    // cell, in reading order (Qt's merge would run the texts together on
    // one line with spaces between). The other cells are emptied first and
    // their content put back after the merge.
    QList<QTextDocumentFragment> moved;
    for (int r = range.firstRow; r < range.firstRow + range.rows; ++r)
        for (int c = range.firstColumn; c < range.firstColumn + range.columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() != r || cell.column() != c || (r == range.firstRow && c == range.firstColumn))
                continue;
            QTextCursor content = cell.firstCursorPosition();
            content.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            if (!content.hasSelection())
                continue;
            moved << content.selection();
            content.removeSelectedText();
        }
    table->mergeCells(range.firstRow, range.firstColumn, range.rows, range.columns);
    const QTextTableCell merged = table->cellAt(range.firstRow, range.firstColumn);
    QTextCursor end = merged.lastCursorPosition();
    bool empty = merged.firstCursorPosition().position() == end.position();
    for (const QTextDocumentFragment& fragment : std::as_const(moved)) {
        if (!empty)
            end.insertBlock();
        end.insertFragment(fragment);
        empty = false;
    }
    return true;
}

bool splitCells(const QTextCursor& cursor)
{
    QTextTable* table = cursor.currentTable();
    const CellRange range = selectedCells(cursor);
    if (!table || !range.valid())
        return false;
    bool split = false;
    for (int r = range.firstRow; r < range.firstRow + range.rows; ++r) {
        for (int c = range.firstColumn; c < range.firstColumn + range.columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() == r && cell.column() == c && (cell.rowSpan() > 1 || cell.columnSpan() > 1)) {
                const int rows = cell.rowSpan(), columns = cell.columnSpan();
                table->splitCell(r, c, 1, 1);
                for (int rr = r; rr < r + rows; ++rr)
                    for (int cc = c; cc < c + columns; ++cc)
                        if (rr != r || cc != c)
                            lookLike(table, rr, cc, table->cellAt(r, c));
                split = true;
            }
        }
    }
    return split;
}

namespace {

constexpr double kPointsPerCentimetre = 28.34646;

double unitsPerCentimetre()
{
    return kPointsPerCentimetre * unitsPerPoint();
}

} // namespace

double columnWidth(const QTextCursor& cursor)
{
    QTextTable* table = cursor.currentTable();
    const CellRange range = selectedCells(cursor);
    if (!table || !range.valid())
        return 0;
    const std::vector<double> widths = columnWidths(table);
    return widths.at(size_t(range.firstColumn)) / unitsPerCentimetre();
}

bool setColumnWidth(const QTextCursor& cursor, double centimetres)
{
    QTextTable* table = cursor.currentTable();
    const CellRange range = selectedCells(cursor);
    if (!table || !range.valid() || !(centimetres > 0))
        return false;
    const std::vector<double> widths = columnWidths(table);
    QList<QTextLength> constraints;
    for (int c = 0; c < table->columns(); ++c) {
        const bool chosen = c >= range.firstColumn && c < range.firstColumn + range.columns;
        constraints << QTextLength(QTextLength::FixedLength, chosen ? centimetres * unitsPerCentimetre() : widths[size_t(c)]);
    }
    QTextTableFormat format = table->format();
    format.setColumnWidthConstraints(constraints);
    format.clearProperty(QTextFormat::FrameWidth); // as wide as its columns
    table->setFormat(format);
    return true;
}

double rowHeight(const QTextCursor& cursor)
{
    QTextTable* table = cursor.currentTable();
    const CellRange range = selectedCells(cursor);
    if (!table || !range.valid())
        return 0;
    return wordprocessor::rowHeight(table, range.firstRow).twips / 20.0 / kPointsPerCentimetre;
}

bool setRowHeight(const QTextCursor& cursor, double centimetres)
{
    QTextTable* table = cursor.currentTable();
    const CellRange range = selectedCells(cursor);
    if (!table || !range.valid() || centimetres < 0)
        return false;
    const auto twips = std::int32_t(std::lround(centimetres * kPointsPerCentimetre * 20));
    for (int r = range.firstRow; r < range.firstRow + range.rows; ++r)
        wordprocessor::setRowHeight(table, r, twips > 0 ? RowHeight{1, twips} : RowHeight{});
    return true;
}

bool setVerticalAlignment(const QTextCursor& cursor, QTextCharFormat::VerticalAlignment alignment)
{
    QTextTable* table = cursor.currentTable();
    const CellRange range = selectedCells(cursor);
    if (!table || !range.valid())
        return false;
    for (int r = range.firstRow; r < range.firstRow + range.rows; ++r) {
        for (int c = range.firstColumn; c < range.firstColumn + range.columns; ++c) {
            QTextTableCell cell = table->cellAt(r, c);
            QTextTableCellFormat format = cell.format().toTableCellFormat();
            format.setVerticalAlignment(alignment);
            cell.setFormat(format);
        }
    }
    return true;
}

} // namespace wordprocessor::tableediting
