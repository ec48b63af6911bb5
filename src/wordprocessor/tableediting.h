#pragma once
// The table commands of the document window, on the cells a cursor stands
// in or has selected: rows and columns added and removed, cells merged and
// split, their vertical alignment. Plain functions on the document, so they
// are tested without the window. Each returns false, changing nothing, when
// the cursor is not in a table or the command does not apply.

#include <QTextCharFormat>
#include <QTextCursor>

namespace wordprocessor::tableediting {

// The cells the cursor covers: its selected cells, or the one it is in.
struct CellRange {
    int firstRow = -1, rows = 0, firstColumn = -1, columns = 0;
    bool valid() const { return rows > 0 && columns > 0; }
};
CellRange selectedCells(const QTextCursor& cursor);

// New rows above or below the covered rows (as many as are covered), their
// cells looking like the cells they are made beside.
bool insertRows(const QTextCursor& cursor, bool below);
bool insertColumns(const QTextCursor& cursor, bool right);
// Removing every row or every column removes the table.
bool removeRows(const QTextCursor& cursor);
bool removeColumns(const QTextCursor& cursor);
// Merges the selected cells into one (their texts kept, one paragraph each).
bool mergeCells(const QTextCursor& cursor);
// Splits every merged cell the cursor covers back into single cells.
bool splitCells(const QTextCursor& cursor);
bool setVerticalAlignment(const QTextCursor& cursor, QTextCharFormat::VerticalAlignment alignment);

// The width of the first covered column, in centimetres (0 outside a table).
double columnWidth(const QTextCursor& cursor);
// Gives the covered columns a fixed width; the other columns keep the
// widths they are laid out at, so the table grows or shrinks.
bool setColumnWidth(const QTextCursor& cursor, double centimetres);
// The least height of the first covered row, in centimetres (0: as tall as
// its content); and setting it for every covered row.
double rowHeight(const QTextCursor& cursor);
bool setRowHeight(const QTextCursor& cursor, double centimetres);

} // namespace wordprocessor::tableediting
