#include "wordprocessor/docconvert.h"

#include "wordprocessor/convertshared.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>
#include <cmath>

namespace wordprocessor {

using namespace convert;

namespace {

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

} // namespace

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
    closeProgramEdit(document); // the widths come from the layout
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
        // Blocks of Qt's own, empty and not shown, are no paragraphs of the
        // file (see kQtOwnBlockProperty).
        const bool qtOwn = block.length() <= 1 && (afterTable || block.blockFormat().hasProperty(kQtOwnBlockProperty));
        afterTable = false;
        if (!qtOwn)
            model.blocks.emplace_back(paragraphOf(block, font));
    }
    return model;
}

} // namespace wordprocessor
