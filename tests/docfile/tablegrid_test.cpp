// A table's rows on one grid of columns: the columns every row's cells
// make, merges across and down, edges a split leaves a few twips apart.
#include "docfile/tablegrid.h"
#include "samples.h"

#include <gtest/gtest.h>

using namespace docfile;
using samples::cell;

namespace {

Row row(std::vector<Cell> cells)
{
    Row r;
    r.cells = std::move(cells);
    return r;
}

Cell merged(int how, std::int32_t width = 1000)
{
    Cell c = cell("", width);
    c.verticalMerge = how;
    return c;
}

} // namespace

TEST(TableGrid, TheTimetableIsSevenColumnsWithTheLunchRowAcrossThem)
{
    const Document doc = samples::defaultTimetable();
    const Table& table = std::get<Table>(doc.blocks.at(1));
    const TableGrid grid = tableGrid(table, samples::textWidth(doc.section));
    ASSERT_EQ(grid.columnWidths.size(), 7u);
    EXPECT_EQ(grid.columnWidths[0], table.rows[0].cells[0].width);
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        ASSERT_EQ(grid.rows[r].size(), table.rows[r].cells.size());
        if (table.rows[r].cells.size() == 1) EXPECT_EQ(grid.rows[r][0].columns, 7) << "row " << r;
    }
}

TEST(TableGrid, RowsOfDifferentCellsShareOneGrid)
{
    Table table;
    table.rows.push_back(row({cell("a", 1000), cell("b", 1000)}));
    table.rows.push_back(row({cell("c", 500), cell("d", 500), cell("e", 1000)}));
    // Edges a few twips apart, as a split leaves them, are one edge.
    table.rows.push_back(row({cell("f", 1003), cell("g", 997)}));
    // A cell without a width takes a share of the text width.
    table.rows.push_back(row({cell("h", 0), cell("i", 0)}));
    const TableGrid grid = tableGrid(table, 2000);
    EXPECT_FALSE(grid.even);
    // 1000 and 1003 are one edge, where most rows have it.
    EXPECT_EQ(grid.columnWidths, (std::vector<std::int32_t>{500, 500, 1000}));
    EXPECT_EQ(grid.rows[0][0].columns, 2);
    EXPECT_EQ(grid.rows[0][1].column, 2);
    EXPECT_EQ(grid.rows[1][2].column, 2);
    EXPECT_EQ(grid.rows[2][0].columns, 2);
    EXPECT_EQ(grid.rows[2][1].column, 2);
    EXPECT_EQ(grid.rows[3][0].columns, 2);
    EXPECT_EQ(grid.rows[3][1].columns, 1);
}

// A row merged into one cell whose width came out a little wider than the
// other rows' cells leaves the grid as they make it: a table saved and
// opened again keeps its last column's width.
TEST(TableGrid, AMergedRowRoundedWiderDoesNotWidenTheLastColumn)
{
    Table table;
    table.rows.push_back(row({cell("", 1200), cell("", 800), cell("", 800)}));
    table.rows.push_back(row({cell("", 2828)}));
    table.rows.push_back(row({cell("", 1200), cell("", 800), cell("", 800)}));
    const TableGrid grid = tableGrid(table, 3000);
    EXPECT_EQ(grid.columnWidths, (std::vector<std::int32_t>{1200, 800, 800}));
    EXPECT_EQ(grid.rows[1][0].columns, 3);
}

// Widths that describe no grid: cells too narrow to tell apart, or more
// columns than Word allows. Every row's cells then stand one to a column.
TEST(TableGrid, WidthsThatDescribeNoGridGiveEvenColumns)
{
    Table narrow;
    narrow.rows.push_back(row({cell("a", 10), cell("b", 10), cell("c", 10)}));
    narrow.rows.push_back(row({cell("d", 30)}));
    TableGrid grid = tableGrid(narrow, 3000);
    EXPECT_TRUE(grid.even);
    EXPECT_EQ(grid.columnWidths, (std::vector<std::int32_t>{1000, 1000, 1000}));
    EXPECT_EQ(grid.rows[0][2].column, 2);
    EXPECT_EQ(grid.rows[1][0].columns, 1); // a short row ends early

    Table wide;
    for (int r = 0; r < 2; ++r) {
        std::vector<Cell> cells;
        for (int c = 0; c < 40; ++c) cells.push_back(cell("", r == 0 ? 300 : 470));
        wide.rows.push_back(row(std::move(cells)));
    }
    grid = tableGrid(wide, 12000);
    EXPECT_TRUE(grid.even);
    EXPECT_EQ(grid.columnWidths.size(), 40u);
}

TEST(TableGrid, CellsMergedDownAColumnSpanRows)
{
    Table table;
    table.rows.push_back(row({cell("", 1000), merged(1)}));
    table.rows.push_back(row({cell("", 1000), merged(2)}));
    table.rows.push_back(row({cell("", 1000), merged(2)}));
    table.rows.push_back(row({cell("", 1000), cell("", 1000)}));
    // Continuing with nothing above to continue: a cell of its own.
    table.rows.push_back(row({cell("", 1000), merged(2)}));
    // Starting with nothing below: a cell of its own too.
    table.rows.push_back(row({merged(1), cell("", 1000)}));
    table.rows.push_back(row({cell("", 2000)}));
    // A continuing cell of another width does not continue the merge.
    table.rows.push_back(row({cell("", 1000), merged(1)}));
    table.rows.push_back(row({cell("", 500), merged(2, 1500)}));
    const TableGrid grid = tableGrid(table, 2000);
    EXPECT_EQ(grid.rows[0][1].rows, 3);
    EXPECT_TRUE(grid.rows[1][1].covered);
    EXPECT_TRUE(grid.rows[2][1].covered);
    EXPECT_FALSE(grid.rows[3][1].covered);
    EXPECT_FALSE(grid.rows[4][1].covered);
    EXPECT_EQ(grid.rows[4][1].rows, 1);
    EXPECT_EQ(grid.rows[5][0].rows, 1);
    EXPECT_FALSE(grid.rows[6][0].covered);
    EXPECT_EQ(grid.rows[7][1].rows, 1);
    EXPECT_FALSE(grid.rows[8][1].covered);
}
