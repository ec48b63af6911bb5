#include "docfile/tablegrid.h"

#include <algorithm>
#include <map>

namespace docfile {

namespace {

constexpr std::size_t kMostColumns = 63;

std::int32_t widthOf(const Row& row, const Cell& cell, std::int32_t textWidth)
{
    if (cell.width > 0) return cell.width;
    return std::max<std::int32_t>(textWidth / static_cast<std::int32_t>(std::max<std::size_t>(row.cells.size(), 1)), 1);
}

// Every cell edge of every row; close ones are one edge, at the place most
// rows have it (the smaller on a tie). A row merged into one cell whose
// width was rounded apart from the others' sum does not move the edge.
std::vector<std::int32_t> gridEdges(const Table& table, std::int32_t textWidth)
{
    std::vector<std::int32_t> all;
    for (const Row& row : table.rows) {
        std::int64_t x = 0;
        for (const Cell& cell : row.cells)
            all.push_back(static_cast<std::int32_t>(std::min<std::int64_t>(x += widthOf(row, cell, textWidth), INT32_MAX)));
    }
    std::sort(all.begin(), all.end());
    std::vector<std::int32_t> edges;
    for (std::size_t i = 0; i < all.size();) {
        // A group: edges each within kSameEdge of the one before.
        std::size_t end = i + 1;
        while (end < all.size() && all[end] - all[end - 1] <= kSameEdge) ++end;
        std::int32_t best = all[i];
        std::size_t bestCount = 0;
        for (std::size_t j = i; j < end;) {
            std::size_t k = j;
            while (k < end && all[k] == all[j]) ++k;
            if (k - j > bestCount) {
                best = all[j];
                bestCount = k - j;
            }
            j = k;
        }
        edges.push_back(best);
        i = end;
    }
    return edges;
}

// Cells merged down a column: a starting cell spans the rows below it whose
// cell at the same place (same columns) continues it.
void mergeDown(TableGrid& grid)
{
    std::map<int, GridCell*> open; // by first column
    for (auto& row : grid.rows) {
        std::map<int, GridCell*> next;
        for (GridCell& g : row) {
            const auto merge = open.find(g.column);
            if (g.cell->verticalMerge == 2 && merge != open.end() && merge->second->columns == g.columns) {
                g.covered = true;
                ++merge->second->rows;
                next[g.column] = merge->second;
            } else if (g.cell->verticalMerge == 1) {
                next[g.column] = &g;
            }
        }
        open = std::move(next);
    }
}

} // namespace

TableGrid tableGrid(const Table& table, std::int32_t textWidth)
{
    TableGrid grid;
    std::size_t mostCells = 0;
    for (const Row& row : table.rows) mostCells = std::max(mostCells, row.cells.size());
    const std::vector<std::int32_t> edges = gridEdges(table, textWidth);
    grid.even = edges.size() < mostCells || edges.size() > kMostColumns;
    if (grid.even) {
        grid.columnWidths.assign(mostCells, std::max<std::int32_t>(textWidth / static_cast<std::int32_t>(std::max<std::size_t>(mostCells, 1)), 1));
    } else {
        std::int32_t previous = 0;
        for (std::int32_t edge : edges) {
            grid.columnWidths.push_back(edge - previous);
            previous = edge;
        }
    }
    const int columns = static_cast<int>(grid.columnWidths.size());
    for (const Row& row : table.rows) {
        std::vector<GridCell>& cells = grid.rows.emplace_back();
        int column = 0;
        std::int64_t x = 0;
        for (std::size_t i = 0; i < row.cells.size() && column < columns; ++i) {
            int last = column;
            if (!grid.even) {
                // The cell reaches the grid edge nearest its right side.
                x += widthOf(row, row.cells[i], textWidth);
                while (last + 1 < columns && edges[static_cast<std::size_t>(last)] + kSameEdge < x) ++last;
            }
            cells.push_back({&row.cells[i], column, last - column + 1});
            column = last + 1;
        }
    }
    mergeDown(grid);
    return grid;
}

} // namespace docfile
