// Where the cells of a table lie on a grid of columns, for formats that
// describe a table by its columns (OpenDocument) rather than row by row.
#include "docfile/opendocument.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace docfile::odt {

namespace {

// Edges of different rows this close are one edge: Word users line cells up
// by eye, and a split leaves widths a twip or two apart.
constexpr std::int32_t kSameEdge = 8;

std::vector<std::int32_t> rowEdges(const Row& row, std::int32_t textWidth)
{
    std::vector<std::int32_t> edges{0};
    const auto n = static_cast<std::int32_t>(std::max<std::size_t>(row.cells.size(), 1));
    for (const Cell& cell : row.cells)
        edges.push_back(edges.back() + (cell.width > 0 ? cell.width : std::max<std::int32_t>(textWidth / n, 1)));
    return edges;
}

int nearest(const std::vector<std::int32_t>& edges, std::int32_t at)
{
    int best = 0;
    for (int i = 1; i < static_cast<int>(edges.size()); ++i)
        if (std::abs(edges[i] - at) < std::abs(edges[best] - at)) best = i;
    return best;
}

} // namespace

Grid tableGrid(const Table& table, std::int32_t textWidth)
{
    std::vector<std::vector<std::int32_t>> edgesOfRows;
    std::vector<std::int32_t> all;
    for (const Row& row : table.rows) {
        edgesOfRows.push_back(rowEdges(row, textWidth));
        all.insert(all.end(), edgesOfRows.back().begin(), edgesOfRows.back().end());
    }
    std::sort(all.begin(), all.end());
    std::vector<std::int32_t> edges;
    for (std::int32_t edge : all)
        if (edges.empty() || edge - edges.back() > kSameEdge) edges.push_back(edge);

    Grid grid;
    for (std::size_t i = 1; i < edges.size(); ++i) grid.columnWidths.push_back(edges[i] - edges[i - 1]);

    // Vertical merges open at a column: the row and place of their first cell.
    std::map<int, std::pair<std::size_t, std::size_t>> open;
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        std::vector<GridCell>& cells = grid.rows.emplace_back();
        const std::vector<std::int32_t>& rowEdges = edgesOfRows[r];
        for (std::size_t c = 0; c < table.rows[r].cells.size(); ++c) {
            GridCell g;
            g.cell = &table.rows[r].cells[c];
            g.column = nearest(edges, rowEdges[c]);
            g.columns = std::max(1, nearest(edges, rowEdges[c + 1]) - g.column);
            // Cells squeezed onto one edge (a sliver of a cell) still take a column of their own.
            if (!cells.empty() && g.column < cells.back().column + cells.back().columns) {
                g.column = cells.back().column + cells.back().columns;
                g.columns = 1;
            }
            const auto merge = open.find(g.column);
            const bool continues = g.cell->verticalMerge == 2 && merge != open.end()
                                   && grid.rows[merge->second.first][merge->second.second].columns == g.columns;
            if (continues) {
                g.covered = true;
                ++grid.rows[merge->second.first][merge->second.second].rows;
            } else if (g.cell->verticalMerge == 1) {
                open[g.column] = {r, cells.size()};
            } else if (merge != open.end()) {
                open.erase(merge);
            }
            cells.push_back(g);
        }
        // A merge ends at a row without a cell at its column.
        for (auto it = open.begin(); it != open.end();) {
            const bool here = std::any_of(cells.begin(), cells.end(), [&](const GridCell& g) { return g.column == it->first; });
            it = here ? std::next(it) : open.erase(it);
        }
    }
    // A row whose last cells went past the grid (the sliver case) widens it.
    std::size_t columns = grid.columnWidths.size();
    for (const auto& row : grid.rows)
        if (!row.empty()) columns = std::max<std::size_t>(columns, static_cast<std::size_t>(row.back().column + row.back().columns));
    grid.columnWidths.resize(columns, 1);
    return grid;
}

} // namespace docfile::odt
