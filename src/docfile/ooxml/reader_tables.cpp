// Tables: the grid of columns, each row's cells with the columns they
// span, and from those the model's rows of cells with their own widths,
// merges down, heights and alignment. A table inside a cell is read as its
// paragraphs (reader.cpp flattens it into the cell).
#include "docfile/bytes.h"
#include "docfile/ooxml/body.h"
#include "docfile/ooxml/names.h"

#include <functional>
#include <map>

namespace docfile::ooxml {

using names::kWordMain;

namespace {

constexpr std::size_t kMostColumns = 63;  // Word's widest table

// A width as tblW and tcW give it: twips, a share of the table in
// fiftieths of a percent (or "50%"), or left to the layout.
struct Width {
    std::string type = "auto";
    std::int64_t value = 0;
};

Width readWidth(const XmlReader& x)
{
    Width w;
    w.type = x.attribute(kWordMain, "type").value_or("dxa");
    const std::string v = x.attribute(kWordMain, "w").value_or("0");
    if (w.type == "pct") {
        w.value = v.ends_with("%") ? parseNumber(v.substr(0, v.size() - 1), 0, 100, "单元格的宽度") * 50
                                   : parseNumber(v, 0, 5000, "单元格的宽度");
    } else if (w.type == "dxa") {
        if (!v.empty() && v[0] == '-') damaged("单元格的宽度为负");
        w.value = parseTwips(v, 0, 31680, "单元格的宽度");
    }
    return w;
}

struct ReadCell {
    Cell cell;
    Width width;
    int span = 1;
    std::string verticalMerge;    // "", "restart" or "continue"
    std::string horizontalMerge;  // the same, for cells merged across as older files do
};

struct ReadRow {
    std::vector<ReadCell> cells;
    int before = 0, after = 0;  // grid columns left empty before and after the cells
    int heightRule = 0;
    std::int32_t height = 0;
};

int count(const XmlReader& x, const char* what)
{
    return static_cast<int>(parseNumber(x.attribute(kWordMain, "val").value_or("1"), 0, kMostColumns, what));
}

} // namespace

Table BodyReader::table()
{
    std::vector<std::int32_t> grid;
    std::vector<ReadRow> rows;
    std::string style;
    Width tableWidth;
    std::optional<std::int32_t> margin;

    // Rows and cells may stand inside content controls and custom XML.
    auto wrapped = [&] { return x_.ns() == kWordMain && (x_.local() == "sdt" || x_.local() == "sdtContent" || x_.local() == "customXml"); };
    auto readCell = [&](ReadRow& row) {
        ReadCell& c = row.cells.emplace_back();
        const int depth = x_.depth();
        while (x_.nextChild(depth)) {
            if (!x_.is(kWordMain, "tcPr")) {
                blockElement({nullptr, &c.cell});
                continue;
            }
            const int at = x_.depth();
            while (x_.nextChild(at)) {
                if (x_.ns() != kWordMain) continue;
                const std::string& name = x_.local();
                if (name == "tcW") c.width = readWidth(x_);
                else if (name == "gridSpan") c.span = std::max(count(x_, "单元格跨的列数"), 1);
                else if (name == "vMerge") c.verticalMerge = x_.attribute(kWordMain, "val").value_or("continue");
                else if (name == "hMerge") c.horizontalMerge = x_.attribute(kWordMain, "val").value_or("continue");
                else if (name == "vAlign") {
                    const std::string v = x_.attribute(kWordMain, "val").value_or("top");
                    c.cell.verticalAlignment = v == "center" || v == "both" ? 1 : v == "bottom" ? 2 : 0;
                }
                x_.skip();
            }
        }
    };
    std::function<void(ReadRow&)> rowContent = [&](ReadRow& row) {
        const int depth = x_.depth();
        while (x_.nextChild(depth)) {
            if (x_.is(kWordMain, "tc")) {
                if (row.cells.size() == kMostColumns) damaged("表格的一行单元格多得不合常理");
                readCell(row);
            } else if (x_.is(kWordMain, "trPr")) {
                const int at = x_.depth();
                while (x_.nextChild(at)) {
                    if (x_.ns() != kWordMain) continue;
                    if (x_.local() == "gridBefore") row.before = count(x_, "行首空出的列数");
                    else if (x_.local() == "gridAfter") row.after = count(x_, "行尾空出的列数");
                    else if (x_.local() == "trHeight") {
                        row.height = parseTwips(x_.attribute(kWordMain, "val").value_or("0"), 0, 31680, "行高");
                        const std::string rule = x_.attribute(kWordMain, "hRule").value_or("atLeast");
                        row.heightRule = row.height == 0 || rule == "auto" ? 0 : rule == "exact" ? 2 : 1;
                        if (row.heightRule == 0) row.height = 0;
                    }
                    x_.skip();
                }
            } else if (wrapped()) {
                rowContent(row);
            } else {
                x_.skip();
            }
        }
    };
    std::function<void()> tableContent = [&] {
        const int depth = x_.depth();
        while (x_.nextChild(depth)) {
            if (x_.is(kWordMain, "tr")) {
                rowContent(rows.emplace_back());
            } else if (x_.is(kWordMain, "tblGrid")) {
                const int at = x_.depth();
                while (x_.nextChild(at)) {
                    if (!x_.is(kWordMain, "gridCol")) continue;
                    if (grid.size() == kMostColumns) damaged("表格的列数超出了 Word 能记录的范围");
                    const std::string w = x_.attribute(kWordMain, "w").value_or("0");
                    if (!w.empty() && w[0] == '-') damaged("表格的列宽为负");
                    grid.push_back(parseTwips(w, 0, 31680, "表格的列宽"));
                    x_.skip();
                }
            } else if (x_.is(kWordMain, "tblPr")) {
                const int at = x_.depth();
                while (x_.nextChild(at)) {
                    if (x_.ns() != kWordMain) continue;
                    if (x_.local() == "tblStyle") style = x_.attribute(kWordMain, "val").value_or("");
                    else if (x_.local() == "tblW") tableWidth = readWidth(x_);
                    else if (x_.local() == "left" || x_.local() == "start") {
                        if (auto w = x_.attribute(kWordMain, "w")) margin = parseTwips(*w, 0, 31680, "单元格边距");
                    }
                    if (x_.local() != "tblCellMar") x_.skip();
                }
            } else if (wrapped()) {
                tableContent();
            } else {
                x_.skip();
            }
        }
    };
    tableContent();

    // The model's rows from the grid: a cell's width is its own where it
    // gives one in twips, else its share of the table or the columns it spans.
    std::int64_t gridWidth = 0;
    for (std::int32_t w : grid) gridWidth += w;
    const std::int64_t width = tableWidth.type == "dxa" && tableWidth.value > 0 ? tableWidth.value : gridWidth;
    Table t;
    t.cellMargin = margin ? *margin : styles_.cellMargin(style).value_or(0);
    std::map<int, int> open;  // cells that may be continued below: first column -> columns spanned
    for (ReadRow& read : rows) {
        Row& row = t.rows.emplace_back();
        row.heightRule = read.heightRule;
        row.height = read.height;
        if (read.before > 0 || read.after > 0) report_.add("表格行首或行尾的空位（已去掉）");
        std::map<int, int> next;
        int column = read.before;
        for (ReadCell& c : read.cells) {
            std::int64_t cellWidth = 0;
            if (c.width.type == "dxa" && c.width.value > 0) cellWidth = c.width.value;
            else if (c.width.type == "pct") cellWidth = width * c.width.value / 5000;
            else if (column + c.span <= static_cast<int>(grid.size()))
                for (int k = 0; k < c.span; ++k) cellWidth += grid[static_cast<std::size_t>(column + k)];
            c.cell.width = static_cast<std::int32_t>(std::min<std::int64_t>(cellWidth, 31680));
            if (c.horizontalMerge == "continue" && !row.cells.empty()) {
                // Merged across into the cell before it.
                Cell& into = row.cells.back();
                into.width = static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{into.width} + c.cell.width, 31680));
                for (Paragraph& p : c.cell.paragraphs)
                    if (!p.runs.empty()) into.paragraphs.push_back(std::move(p));
                column += c.span;
                continue;
            }
            if (c.verticalMerge == "restart") {
                c.cell.verticalMerge = 1;
                next[column] = c.span;
            } else if (!c.verticalMerge.empty()) {
                // A continuing cell with nothing above it to continue is a cell of its own.
                const auto above = open.find(column);
                if (above != open.end() && above->second == c.span) {
                    c.cell.verticalMerge = 2;
                    next[column] = c.span;
                }
            }
            column += c.span;
            row.cells.push_back(std::move(c.cell));
        }
        open = std::move(next);
    }
    return t;
}

} // namespace docfile::ooxml
