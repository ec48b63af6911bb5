#include "automation/builtin/docconvert.h"

#include "automation/builtin/builtinobjects.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>
#include <cmath>

namespace word::builtin {

namespace {

// Lengths: the file keeps twips, the layout screen units.
std::int32_t toTwips(double units)
{
    return std::int32_t(std::lround(units / unitsPerPoint() * 20.0));
}

double fromTwips(std::int32_t twips)
{
    return twips / 20.0 * unitsPerPoint();
}

std::int32_t pointsToTwips(float points)
{
    return std::int32_t(std::lround(points * 20.0));
}

int alignmentOf(const QTextBlockFormat& format)
{
    const Qt::Alignment a = format.alignment();
    if (a & Qt::AlignHCenter)
        return 1;
    if (a & Qt::AlignJustify)
        return 3;
    if (a & Qt::AlignRight)
        return 2;
    return 0;
}

Qt::Alignment qtAlignment(int alignment)
{
    switch (alignment) {
    case 1: return Qt::AlignHCenter;
    case 2: return Qt::AlignRight | Qt::AlignAbsolute;
    case 3: return Qt::AlignJustify;
    default: return Qt::AlignLeft | Qt::AlignAbsolute;
    }
}

// ------------------------------------------------------------ to the model

// The look of text in `format`, without the text.
docfile::Run lookOf(const QTextCharFormat& format, const QFont& documentFont)
{
    docfile::Run run;
    const QStringList families = format.fontFamilies().toStringList();
    run.font = (families.isEmpty() ? documentFont.family() : families.first()).toStdString();
    run.size = format.fontPointSize() > 0 ? format.fontPointSize() : documentFont.pointSizeF();
    run.bold = format.fontWeight() >= QFont::Bold;
    run.italic = format.fontItalic();
    run.underline = format.fontUnderline() || format.underlineStyle() != QTextCharFormat::NoUnderline;
    // Text without a colour of its own is the file's automatic colour.
    const QBrush foreground = format.foreground();
    if (format.hasProperty(QTextFormat::ForegroundBrush) && foreground.style() != Qt::NoBrush)
        run.colour = foreground.color().rgb() & 0xFFFFFF;
    return run;
}

docfile::Run runOf(const QTextFragment& fragment, const QFont& documentFont)
{
    docfile::Run run = lookOf(fragment.charFormat(), documentFont);
    QString text = fragment.text();
    text.remove(QChar::ObjectReplacementCharacter); // inline objects are not kept
    text.replace(QChar::LineSeparator, u'\n');
    text.replace(QChar::Nbsp, u' ');
    run.text = text.toStdString();
    return run;
}

docfile::Paragraph paragraphOf(const QTextBlock& block, const QFont& documentFont)
{
    docfile::Paragraph paragraph;
    paragraph.alignment = alignmentOf(block.blockFormat());
    paragraph.firstLineIndent = toTwips(block.blockFormat().textIndent());
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        docfile::Run run = runOf(it.fragment(), documentFont);
        if (!run.text.empty())
            paragraph.runs.push_back(std::move(run));
    }
    // An empty paragraph's height comes from the font it would type in.
    if (paragraph.runs.empty())
        paragraph.mark = lookOf(block.charFormat(), documentFont);
    return paragraph;
}

// The paragraphs of a frame's content; a frame inside it (a table in a
// cell) gives its text as paragraphs of their own.
void collectParagraphs(QTextFrame::iterator it, const QFont& font, std::vector<docfile::Paragraph>& out)
{
    for (; !it.atEnd(); ++it) {
        if (QTextFrame* inner = it.currentFrame())
            collectParagraphs(inner->begin(), font, out);
        else if (it.currentBlock().isValid())
            out.push_back(paragraphOf(it.currentBlock(), font));
    }
}

// Column widths in screen units: the fixed widths the table was given, or,
// for a table fitted to its contents or the window, the distance from each
// column's content to the next one's as laid out.
std::vector<double> columnWidths(QTextTable* table)
{
    const int columns = table->columns();
    const QTextTableFormat format = table->format();
    const QList<QTextLength> constraints = format.columnWidthConstraints();
    if (constraints.size() == columns
        && std::all_of(constraints.begin(), constraints.end(),
                       [](const QTextLength& l) { return l.type() == QTextLength::FixedLength; })) {
        std::vector<double> widths;
        for (const QTextLength& length : constraints)
            widths.push_back(length.rawValue());
        return widths;
    }

    QAbstractTextDocumentLayout* layout = table->document()->documentLayout();
    const QRectF tableRect = layout->frameBoundingRect(table);
    std::vector<double> left(size_t(columns), -1.0);
    for (int row = 0; row < table->rows(); ++row) {
        for (int column = 0; column < columns; ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            if (left[size_t(column)] < 0 && cell.row() == row && cell.column() == column)
                left[size_t(column)] = layout->blockBoundingRect(cell.firstCursorPosition().block()).left();
        }
    }
    std::vector<double> widths(size_t(columns), 0.0);
    bool sound = tableRect.width() > 0;
    for (int column = 0; column < columns && sound; ++column) {
        const double start = left[size_t(column)];
        const double end = column + 1 < columns ? left[size_t(column + 1)]
                                                : tableRect.right() - 2 * format.border() - (left[0] - tableRect.left());
        if (start < 0 || end <= start)
            sound = false;
        else
            widths[size_t(column)] = end - start;
    }
    if (!sound)
        std::fill(widths.begin(), widths.end(), tableRect.width() > 0 ? tableRect.width() / columns : 60.0);
    return widths;
}

// What stands in a row below the first for a cell merged down over it:
// one empty paragraph that looks like the merged cell's first one.
docfile::Paragraph continuingParagraph(const docfile::Cell& first)
{
    docfile::Paragraph paragraph;
    if (first.paragraphs.empty())
        return paragraph;
    const docfile::Paragraph& top = first.paragraphs.front();
    paragraph.alignment = top.alignment;
    paragraph.firstLineIndent = top.firstLineIndent;
    paragraph.mark = top.runs.empty() ? top.mark : top.runs.front();
    paragraph.mark.text.clear();
    return paragraph;
}

docfile::Table tableOf(QTextTable* table, const QFont& font)
{
    const std::vector<double> widths = columnWidths(table);
    docfile::Table model;
    model.cellMargin = toTwips(table->format().cellPadding());
    for (int row = 0; row < table->rows(); ++row) {
        docfile::Row modelRow;
        const RowHeight height = rowHeight(table, row);
        modelRow.heightRule = height.rule;
        modelRow.height = height.rule == 0 ? 0 : height.twips;
        // Every cell the row crosses, from left to right; a cell merged
        // down from a row above stands in this row as a continuing cell.
        for (int column = 0; column < table->columns();) {
            const QTextTableCell cell = table->cellAt(row, column);
            docfile::Cell modelCell;
            collectParagraphs(cell.begin(), font, modelCell.paragraphs);
            switch (cell.format().verticalAlignment()) {
            case QTextCharFormat::AlignMiddle: modelCell.verticalAlignment = 1; break;
            case QTextCharFormat::AlignBottom: modelCell.verticalAlignment = 2; break;
            default: modelCell.verticalAlignment = 0;
            }
            if (cell.row() < row) {
                modelCell.verticalMerge = 2;
                modelCell.paragraphs = {continuingParagraph(modelCell)};
            } else if (cell.rowSpan() > 1) {
                modelCell.verticalMerge = 1;
            }
            // The columns the cell covers (its span, counted on the grid).
            const int span = std::max(1, cell.column() + cell.columnSpan() - column);
            double width = 0;
            for (int c = column; c < column + span && c < int(widths.size()); ++c)
                width += widths[size_t(c)];
            modelCell.width = toTwips(width);
            modelRow.cells.push_back(std::move(modelCell));
            column += span;
        }
        model.rows.push_back(std::move(modelRow));
    }
    return model;
}

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

RowHeight rowHeight(QTextTable* table, int row)
{
    if (!table || row < 0 || row >= table->rows())
        return {};
    for (int column = 0; column < table->columns();) {
        const QTextTableCell cell = table->cellAt(row, column);
        const QVariantList heights = cell.format().property(kRowHeightsProperty).toList();
        const int at = row - cell.row();
        if (at < heights.size()) {
            const int twips = heights[at].toInt();
            return twips == 0 ? RowHeight{} : RowHeight{twips > 0 ? 1 : 2, std::abs(twips)};
        }
        column = cell.column() + std::max(1, cell.columnSpan());
    }
    return {};
}

void setRowHeight(QTextTable* table, int row, RowHeight height)
{
    if (!table || row < 0 || row >= table->rows())
        return;
    const int twips = height.rule == 1 ? height.twips : height.rule == 2 ? -height.twips : 0;
    for (int column = 0; column < table->columns();) {
        QTextTableCell cell = table->cellAt(row, column);
        QTextTableCellFormat format = cell.format().toTableCellFormat();
        QVariantList heights = format.property(kRowHeightsProperty).toList();
        const int at = row - cell.row();
        while (heights.size() <= at)
            heights << 0;
        heights[at] = twips;
        format.setProperty(kRowHeightsProperty, heights);
        cell.setFormat(format);
        column = cell.column() + std::max(1, cell.columnSpan());
    }
}

docfile::Document toModel(const DocumentData& document)
{
    docfile::Document model;
    const PageSetupData& page = document.page;
    model.section.pageWidth = pointsToTwips(page.pageWidth);
    model.section.pageHeight = pointsToTwips(page.pageHeight);
    model.section.marginTop = pointsToTwips(page.topMargin);
    model.section.marginBottom = pointsToTwips(page.bottomMargin);
    model.section.marginLeft = pointsToTwips(page.leftMargin);
    model.section.marginRight = pointsToTwips(page.rightMargin);
    model.section.headerDistance = pointsToTwips(page.headerDistance);
    model.section.footerDistance = pointsToTwips(page.footerDistance);
    model.section.verticalAlignment = page.verticalAlignment;

    QTextDocument* text = document.text.get();
    const QFont font = text->defaultFont();
    text->documentLayout(); // make sure the layout exists for the widths
    bool afterTable = false;
    for (auto it = text->rootFrame()->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* frame = it.currentFrame()) {
            if (auto* table = qobject_cast<QTextTable*>(frame)) {
                model.blocks.emplace_back(tableOf(table, font));
                afterTable = true;
            } else {
                std::vector<docfile::Paragraph> paragraphs;
                collectParagraphs(frame->begin(), font, paragraphs);
                for (auto& paragraph : paragraphs)
                    model.blocks.emplace_back(std::move(paragraph));
                afterTable = false;
            }
            continue;
        }
        const QTextBlock block = it.currentBlock();
        // The empty paragraph that always follows a table is the file's own.
        QTextFrame::iterator next = it;
        const bool last = (++next).atEnd();
        if (afterTable && last && block.length() <= 1)
            continue;
        model.blocks.emplace_back(paragraphOf(block, font));
        afterTable = false;
    }
    return model;
}

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

    QTextCursor cursor(document.text.get());
    bool freshBlock = true; // the cursor stands in an empty block of its own
    for (const docfile::Block& block : model.blocks) {
        if (const auto* paragraph = std::get_if<docfile::Paragraph>(&block)) {
            if (!freshBlock)
                cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
            fillBlock(cursor, *paragraph);
            freshBlock = false;
        } else {
            // A table goes straight after the paragraph before it; the empty
            // paragraph that follows a table is the next block's.
            insertTable(cursor, std::get<docfile::Table>(block));
            freshBlock = true;
        }
    }
}

} // namespace word::builtin
