// A table's rows laid on one grid of columns. Rows keep their own cells in
// the model (a row merged into one cell has one cell as wide as the table),
// while word processors that describe a table by its columns (Qt's text
// tables, OpenDocument) need every cell placed on shared columns, and cells
// merged down a column as one cell spanning rows.
#pragma once

#include "docfile/document.h"

#include <cstdint>
#include <vector>

namespace docfile {

struct GridCell {
    const Cell* cell = nullptr;
    int column = 0;       // first column
    int columns = 1;      // columns spanned
    int rows = 1;         // rows spanned (more than 1 starts a vertical merge)
    bool covered = false; // continues the vertical merge of a cell above
};

struct TableGrid {
    std::vector<std::int32_t> columnWidths; // twips
    // Per row, its cells in order, each on the columns after the one before.
    // A row may end before the last column.
    std::vector<std::vector<GridCell>> rows;
    // The widths describe no grid (too many columns, or cells too narrow to
    // tell apart): every row's cells stand one to a column of equal width.
    bool even = false;
};

// Edges of different rows closer than this are one edge: users line cells
// up by eye, and a split leaves widths a twip or two apart.
constexpr std::int32_t kSameEdge = 30;

// A cell of width 0 takes an equal share of `textWidth`, as the writer
// gives it. More than 63 columns (Word's own limit) make an even grid.
TableGrid tableGrid(const Table& table, std::int32_t textWidth);

} // namespace docfile
