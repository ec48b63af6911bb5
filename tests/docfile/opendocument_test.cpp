// The OpenDocument text written from the model: the package as ODF
// readers require it, and tables laid on a grid of columns that keeps
// every row's cells, merges and widths. (LibreOffice's reading of the
// files is checked with the .doc files in readers_test.cpp.)
#include "docfile/opendocument.h"
#include "samples.h"

#include <gsf/gsf.h>
#include <gtest/gtest.h>

#include <clocale>
#include <string>

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

std::string text(const std::vector<unsigned char>& bytes, std::size_t at, std::size_t size)
{
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
}

// A file of the package, read back with libgsf's zip reader.
std::string member(const std::vector<unsigned char>& package, const char* name)
{
    gsf_init();
    GsfInput* input = gsf_input_memory_new(package.data(), static_cast<gsf_off_t>(package.size()), FALSE);
    GsfInfile* zip = gsf_infile_zip_new(input, nullptr);
    std::string text;
    if (GsfInput* file = zip ? gsf_infile_child_by_name(zip, name) : nullptr) {
        const auto size = static_cast<std::size_t>(gsf_input_size(file));
        text.resize(size);
        if (size > 0 && !gsf_input_read(file, size, reinterpret_cast<guint8*>(text.data()))) text.clear();
        g_object_unref(file);
    }
    if (zip) g_object_unref(zip);
    g_object_unref(input);
    return text;
}

} // namespace

// Lengths are written with a full stop whatever the locale's decimal mark
// (a German desktop once gave "515,9pt", which LibreOffice ignores).
TEST(OpenDocument, NumbersDoNotFollowTheLocale)
{
    const char* before = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = before ? before : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE.utf8"))
        GTEST_SKIP() << "no German locale here";
    const std::vector<unsigned char> bytes = writeOpenDocumentBytes(samples::defaultTimetable());
    std::setlocale(LC_NUMERIC, saved.c_str());
    const std::string styles = member(bytes, "styles.xml");
    ASSERT_FALSE(styles.empty());
    EXPECT_NE(styles.find("fo:page-width=\"515.9pt\""), std::string::npos) << styles;
    const std::string content = member(bytes, "content.xml");
    EXPECT_EQ(content.find(",5pt"), std::string::npos);
    EXPECT_NE(styles.find("fo:font-size=\"10.5pt\""), std::string::npos);
}

// ODF readers find the package's kind in a first entry named "mimetype",
// stored uncompressed, right after its 30-byte zip header.
TEST(OpenDocument, TheMimetypeComesFirstAndStored)
{
    const std::vector<unsigned char> bytes = writeOpenDocumentBytes(samples::defaultTimetable());
    ASSERT_GT(bytes.size(), 100u);
    EXPECT_EQ(text(bytes, 0, 4), std::string("PK\3\4"));
    EXPECT_EQ(bytes[8] | bytes[9] << 8, 0) << "compression method";
    const std::size_t nameSize = bytes[26] | bytes[27] << 8, extraSize = bytes[28] | bytes[29] << 8;
    EXPECT_EQ(text(bytes, 30, nameSize), "mimetype");
    EXPECT_EQ(text(bytes, 30 + nameSize + extraSize, 39), "application/vnd.oasis.opendocument.text");
    // An empty document is still a document.
    EXPECT_GT(writeOpenDocumentBytes(Document{}).size(), 100u);
}

TEST(OpenDocument, TheTimetableIsSevenColumnsWithTheLunchRowAcrossThem)
{
    const Document doc = samples::defaultTimetable();
    const Table& table = std::get<Table>(doc.blocks.at(1));
    const odt::Grid grid = odt::tableGrid(table, samples::textWidth(doc.section));
    ASSERT_EQ(grid.columnWidths.size(), 7u);
    EXPECT_EQ(grid.columnWidths[0], table.rows[0].cells[0].width);
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        ASSERT_EQ(grid.rows[r].size(), table.rows[r].cells.size());
        if (table.rows[r].cells.size() == 1) EXPECT_EQ(grid.rows[r][0].columns, 7) << "row " << r;
    }
}

TEST(OpenDocument, RowsOfDifferentCellsShareOneGrid)
{
    Table table;
    table.rows.push_back(row({cell("a", 1000), cell("b", 1000)}));
    table.rows.push_back(row({cell("c", 500), cell("d", 500), cell("e", 1000)}));
    // Edges a few twips apart, as a split leaves them, are one edge.
    table.rows.push_back(row({cell("f", 1003), cell("g", 997)}));
    // A cell without a width takes a share of the text width.
    table.rows.push_back(row({cell("h", 0), cell("i", 0)}));
    const odt::Grid grid = odt::tableGrid(table, 2000);
    EXPECT_EQ(grid.columnWidths, (std::vector<std::int32_t>{500, 500, 1000}));
    EXPECT_EQ(grid.rows[0][0].columns, 2);
    EXPECT_EQ(grid.rows[0][1].column, 2);
    EXPECT_EQ(grid.rows[1][2].column, 2);
    EXPECT_EQ(grid.rows[2][0].columns, 2);
    EXPECT_EQ(grid.rows[2][1].column, 2);
    EXPECT_EQ(grid.rows[3][0].columns, 2);
    EXPECT_EQ(grid.rows[3][1].columns, 1);
}

TEST(OpenDocument, CellsMergedDownAColumnSpanRows)
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
    const odt::Grid grid = odt::tableGrid(table, 2000);
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
