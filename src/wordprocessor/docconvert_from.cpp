#include "wordprocessor/docconvert.h"

#include "wordprocessor/convertshared.h"
#include "docfile/tablegrid.h"

#include <QTextBlock>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>

namespace wordprocessor {

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

void insertTable(QTextCursor& cursor, const docfile::Table& model, std::int32_t textWidth)
{
    if (model.rows.empty())
        return;
    const docfile::TableGrid grid = docfile::tableGrid(model, textWidth);
    const int columns = int(grid.columnWidths.size());
    const int rows = int(model.rows.size());
    if (columns == 0)
        return;

    QTextTableFormat format = plainTableFormat();
    format.setCellPadding(fromTwips(model.cellMargin)); // as other word processors lay the file out
    if (grid.even) {
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    } else {
        QList<QTextLength> constraints;
        for (std::int32_t width : grid.columnWidths)
            constraints << QTextLength(QTextLength::FixedLength, fromTwips(width));
        format.setColumnWidthConstraints(constraints);
    }
    QTextTable* table = cursor.insertTable(rows, columns, format);

    // A cell merged down takes in the continuing cells below it, which have
    // no place of their own in the word processor: what they hold is left
    // out, as Word does not show it either. A row's last cell fills the row.
    for (int r = 0; r < rows; ++r) {
        const std::vector<docfile::GridCell>& cells = grid.rows[size_t(r)];
        for (size_t i = 0; i < cells.size(); ++i) {
            const docfile::GridCell& place = cells[i];
            if (place.covered)
                continue;
            const int span = i + 1 == cells.size() ? columns - place.column : place.columns;
            if (place.rows > 1 || span > 1)
                table->mergeCells(r, place.column, place.rows, span);

            const docfile::Cell& cell = *place.cell;
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

    // Qt hides an empty block right after a table, where Word shows an
    // empty line: an empty paragraph there in the file gets a block of its
    // own past the table's hidden one. (One right before a table is kept
    // shown by rowheights.h, however it came to be empty.)
    QTextCursor cursor(document.text.get());
    bool freshBlock = true;  // the cursor stands in an empty block of its own
    bool afterTable = false; // ... the one that follows a table
    for (std::size_t i = 0; i < model.blocks.size(); ++i) {
        if (const auto* paragraph = std::get_if<docfile::Paragraph>(&model.blocks[i])) {
            if (!freshBlock || (afterTable && paragraph->runs.empty()))
                cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
            fillBlock(cursor, *paragraph);
            freshBlock = afterTable = false;
        } else {
            if (i == 0) {
                QTextBlockFormat own;
                own.setProperty(kQtOwnBlockProperty, true);
                cursor.mergeBlockFormat(own);
            }
            // A table goes straight after the paragraph before it; the
            // paragraph that follows a table is the next block's.
            insertTable(cursor, std::get<docfile::Table>(model.blocks[i]),
                        model.section.pageWidth - model.section.marginLeft - model.section.marginRight);
            freshBlock = afterTable = true;
        }
    }
}

} // namespace wordprocessor
