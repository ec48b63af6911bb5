#include "automation/builtin/docconvert.h"

#include "automation/builtin/builtinobjects.h"
#include "automation/builtin/convertshared.h"

#include <QTextBlock>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>

namespace word::builtin {

using namespace convert;

namespace {

// ------------------------------------------------------------ from the model

QTextCharFormat charFormatOf(const docfile::Run& run)
{
    QTextCharFormat format;
    if (!run.font.empty())
        format.setFontFamilies(QStringList{QString::fromStdString(run.font)});
    if (run.size > 0)
        format.setFontPointSize(run.size);
    format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(run.italic);
    format.setFontUnderline(run.underline);
    if (run.colour != docfile::kAutomaticColour)
        format.setForeground(QColor::fromRgb(QRgb(0xFF000000u | run.colour)));
    return format;
}

// Writes a paragraph into the block at the cursor (which is empty).
void fillBlock(QTextCursor& cursor, const docfile::Paragraph& paragraph)
{
    QTextBlockFormat format = cursor.blockFormat();
    format.setAlignment(qtAlignment(paragraph.alignment));
    format.setTextIndent(fromTwips(paragraph.firstLineIndent));
    cursor.setBlockFormat(format);
    cursor.mergeBlockCharFormat(charFormatOf(paragraph.runs.empty() ? paragraph.mark : paragraph.runs.front()));
    for (const docfile::Run& run : paragraph.runs) {
        QString text = QString::fromStdString(run.text);
        text.replace(u'\n', QChar::LineSeparator);
        cursor.insertText(text, charFormatOf(run));
    }
}

// The grid of a table whose rows may have different cells: every cell edge
// of every row, edges closer than a small tolerance taken as one.
std::vector<std::int32_t> gridEdges(const docfile::Table& table)
{
    std::vector<std::int32_t> edges;
    for (const docfile::Row& row : table.rows) {
        std::int32_t x = 0;
        for (const docfile::Cell& cell : row.cells) {
            x += std::max<std::int32_t>(cell.width, 0);
            edges.push_back(x);
        }
    }
    std::sort(edges.begin(), edges.end());
    std::vector<std::int32_t> merged;
    for (std::int32_t edge : edges) {
        if (edge <= 0)
            continue;
        if (merged.empty() || edge - merged.back() > 30)
            merged.push_back(edge);
        else
            merged.back() = std::max(merged.back(), edge);
    }
    return merged;
}

void insertTable(QTextCursor& cursor, const docfile::Table& model)
{
    if (model.rows.empty())
        return;
    size_t mostCells = 0;
    bool widthsKnown = true;
    for (const docfile::Row& row : model.rows) {
        mostCells = std::max(mostCells, row.cells.size());
        for (const docfile::Cell& cell : row.cells)
            widthsKnown = widthsKnown && cell.width > 0;
    }
    if (mostCells == 0)
        return;
    std::vector<std::int32_t> edges = widthsKnown ? gridEdges(model) : std::vector<std::int32_t>{};
    if (edges.size() < mostCells || edges.size() > 63)
        edges.clear(); // widths that do not describe a grid: share the width out evenly
    const int columns = edges.empty() ? int(mostCells) : int(edges.size());
    const int rows = int(model.rows.size());

    QTextTableFormat format = plainTableFormat();
    format.setCellPadding(fromTwips(model.cellMargin)); // as other word processors lay the file out
    if (!edges.empty()) {
        QList<QTextLength> constraints;
        std::int32_t previous = 0;
        for (std::int32_t edge : edges) {
            constraints << QTextLength(QTextLength::FixedLength, fromTwips(edge - previous));
            previous = edge;
        }
        format.setColumnWidthConstraints(constraints);
    } else {
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    }
    QTextTable* table = cursor.insertTable(rows, columns, format);

    // Where each cell of each row stands on the grid: its first column and
    // how many it covers.
    struct Place {
        int column = 0, span = 1;
    };
    std::vector<std::vector<Place>> places(model.rows.size());
    for (int r = 0; r < rows; ++r) {
        const docfile::Row& row = model.rows[size_t(r)];
        int column = 0;
        std::int32_t x = 0;
        for (size_t i = 0; i < row.cells.size() && column < columns; ++i) {
            int span = 1;
            if (!edges.empty()) {
                x += row.cells[i].width;
                // The cell reaches the grid edge nearest its right side.
                int last = column;
                while (last + 1 < columns && edges[size_t(last)] + 30 < x)
                    ++last;
                span = last - column + 1;
            }
            if (i + 1 == row.cells.size())
                span = columns - column; // the row's last cell fills the row
            places[size_t(r)].push_back({column, span});
            column += span;
        }
    }
    // The cell in row r that stands where `place` does, and continues a merge.
    auto continuing = [&](int r, const Place& place) {
        const std::vector<Place>& row = places[size_t(r)];
        for (size_t i = 0; i < row.size(); ++i)
            if (row[i].column == place.column && row[i].span == place.span)
                return model.rows[size_t(r)].cells[i].verticalMerge == 2;
        return false;
    };

    // A cell merged down takes in the continuing cells below it, which have
    // no place of their own in the word processor: what they hold is left
    // out, as Word does not show it either.
    std::vector<std::vector<bool>> covered(size_t(rows), std::vector<bool>(size_t(columns), false));
    for (int r = 0; r < rows; ++r) {
        for (size_t i = 0; i < places[size_t(r)].size(); ++i) {
            const Place place = places[size_t(r)][i];
            if (covered[size_t(r)][size_t(place.column)])
                continue;
            int rowSpan = 1;
            if (model.rows[size_t(r)].cells[i].verticalMerge == 1)
                while (r + rowSpan < rows && continuing(r + rowSpan, place))
                    ++rowSpan;
            for (int k = 1; k < rowSpan; ++k)
                for (int c = place.column; c < place.column + place.span; ++c)
                    covered[size_t(r + k)][size_t(c)] = true;
            if (rowSpan > 1 || place.span > 1)
                table->mergeCells(r, place.column, rowSpan, place.span);

            const docfile::Cell& cell = model.rows[size_t(r)].cells[i];
            QTextTableCell tableCell = table->cellAt(r, place.column);
            QTextTableCellFormat cellFormat = tableCell.format().toTableCellFormat();
            cellFormat.setVerticalAlignment(cell.verticalAlignment == 1   ? QTextCharFormat::AlignMiddle
                                            : cell.verticalAlignment == 2 ? QTextCharFormat::AlignBottom
                                                                          : QTextCharFormat::AlignTop);
            tableCell.setFormat(cellFormat);
            setWordCellMargins(tableCell);
            QTextCursor inCell = tableCell.firstCursorPosition();
            for (size_t p = 0; p < cell.paragraphs.size(); ++p) {
                if (p > 0)
                    inCell.insertBlock();
                fillBlock(inCell, cell.paragraphs[p]);
            }
        }
    }
    // Heights last: merging keeps only the first cell's format.
    for (int r = 0; r < rows; ++r) {
        const docfile::Row& row = model.rows[size_t(r)];
        if (row.heightRule != 0)
            setRowHeight(table, r, RowHeight{row.heightRule, row.height});
    }
    cursor.movePosition(QTextCursor::End);
}

} // namespace

void fromModel(const docfile::Document& model, DocumentData& document)
{
    PageSetupData& page = document.page;
    page.pageWidth = model.section.pageWidth / 20.0f;
    page.pageHeight = model.section.pageHeight / 20.0f;
    page.topMargin = model.section.marginTop / 20.0f;
    page.bottomMargin = model.section.marginBottom / 20.0f;
    page.leftMargin = model.section.marginLeft / 20.0f;
    page.rightMargin = model.section.marginRight / 20.0f;
    page.headerDistance = model.section.headerDistance / 20.0f;
    page.footerDistance = model.section.footerDistance / 20.0f;
    page.verticalAlignment = model.section.verticalAlignment;

    // Qt hides an empty block right before or right after a table. An
    // empty paragraph there in the file is an empty line in Word: one
    // after a table gets a block of its own past the table's hidden one,
    // one before a table a background property, which keeps Qt from hiding
    // it.
    QTextCursor cursor(document.text.get());
    bool freshBlock = true;  // the cursor stands in an empty block of its own
    bool afterTable = false; // ... the one that follows a table
    for (std::size_t i = 0; i < model.blocks.size(); ++i) {
        if (const auto* paragraph = std::get_if<docfile::Paragraph>(&model.blocks[i])) {
            if (!freshBlock || (afterTable && paragraph->runs.empty()))
                cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
            fillBlock(cursor, *paragraph);
            const bool beforeTable = i + 1 < model.blocks.size() && std::holds_alternative<docfile::Table>(model.blocks[i + 1]);
            if (beforeTable && paragraph->runs.empty()) {
                QTextBlockFormat shown;
                shown.setBackground(QBrush());
                cursor.mergeBlockFormat(shown);
            }
            freshBlock = afterTable = false;
        } else {
            if (i == 0) {
                QTextBlockFormat own;
                own.setProperty(kQtOwnBlockProperty, true);
                cursor.mergeBlockFormat(own);
            }
            // A table goes straight after the paragraph before it; the
            // paragraph that follows a table is the next block's.
            insertTable(cursor, std::get<docfile::Table>(model.blocks[i]));
            freshBlock = afterTable = true;
        }
    }
}

} // namespace word::builtin
