#include "automation/builtin/tableobjects.h"

#include "automation/checks.h"

#include <QTextBlock>
#include <QTextFrame>

namespace word::builtin {

using namespace wordprocessor;

namespace {

QTextCharFormat::VerticalAlignment toCellAlignment(int alignment)
{
    switch (alignment) {
    case CellAlignTop: return QTextCharFormat::AlignTop;
    case CellAlignCenter: return QTextCharFormat::AlignMiddle;
    case CellAlignBottom: return QTextCharFormat::AlignBottom;
    }
    throw AutomationError(QStringLiteral("单元格垂直对齐方式 %1 无效。").arg(alignment));
}

AutomationError noRow(int row, int rows)
{
    return AutomationError(QStringLiteral("表格中没有第 %1 行（共 %2 行）。").arg(row).arg(rows));
}

} // namespace

// ---------------------------------------------------------------- helpers

std::vector<int> rowCellColumns(QTextTable* table, int row)
{
    std::vector<int> columns;
    for (int column = 0; column < table->columns(); ++column) {
        const QTextTableCell cell = table->cellAt(row, column);
        if (cell.isValid() && cell.row() == row && cell.column() == column)
            columns.push_back(column);
    }
    return columns;
}

std::vector<QTextTable*> documentTables(QTextDocument* document)
{
    std::vector<QTextTable*> tables;
    const auto frames = document->rootFrame()->childFrames();
    for (QTextFrame* frame : frames) {
        if (auto* table = qobject_cast<QTextTable*>(frame))
            tables.push_back(table);
    }
    return tables;
}

// ---------------------------------------------------------------- tables

std::shared_ptr<Table> BuiltinTables::add(const std::shared_ptr<Range>& range, int rows, int columns, int)
{
    DocPtr data = document();
    auto* at = dynamic_cast<BuiltinRange*>(range.get());
    if (!at || at->document() != data)
        throw AutomationError(QStringLiteral("插入表格的位置不属于这个文档。"));
    checkTableSize(rows, columns);

    QTextCursor cursor(data->text.get());
    cursor.setPosition(at->insertionPosition());
    const QTextBlockFormat paragraph = cursor.blockFormat();
    const QTextCharFormat font = data->typingFormat;
    // An empty paragraph becomes the table, as in any word processor: the
    // table goes at the end of the paragraph before it instead, which leaves
    // no empty paragraph between the two.
    const QTextBlock block = cursor.block();
    const QTextBlock previous = block.previous();
    if (block.length() <= 1 && previous.isValid()
        && QTextCursor(previous).currentFrame() == data->text->rootFrame()
        && cursor.currentFrame() == data->text->rootFrame()) {
        cursor.deletePreviousChar();
    }

    QTextTableFormat format = plainTableFormat();
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    QTextTable* table = cursor.insertTable(rows, columns, format);

    // Every cell starts with the paragraph and font of the insertion point.
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            QTextTableCell tableCell = table->cellAt(row, column);
            setWordCellMargins(tableCell);
            QTextCursor cell = tableCell.firstCursorPosition();
            cell.setBlockFormat(paragraph);
            cell.mergeBlockCharFormat(font);
        }
    }
    // The insertion point goes into the first cell, as in any word processor.
    data->cursor = table->cellAt(0, 0).firstCursorPosition();
    data->selectedTable = nullptr;
    return std::make_shared<BuiltinTable>(m_state, data, table);
}

std::shared_ptr<Table> BuiltinTables::item(int index)
{
    DocPtr data = document();
    closeProgramEdit(*data); // Qt lists the new tables once the edit ends
    const auto tables = documentTables(data->text.get());
    if (index < 1 || index > int(tables.size()))
        throw AutomationError(tables.empty() ? QStringLiteral("文档中没有表格。")
                                             : QStringLiteral("文档中没有第 %1 个表格（共 %2 个）。")
                                                   .arg(index)
                                                   .arg(tables.size()));
    return std::make_shared<BuiltinTable>(m_state, data, tables[size_t(index - 1)]);
}

int BuiltinTables::count()
{
    DocPtr data = document();
    closeProgramEdit(*data); // Qt lists the new tables once the edit ends
    return int(documentTables(data->text.get()).size());
}

// ---------------------------------------------------------------- table

std::shared_ptr<Cell> BuiltinTable::cell(int row, int column)
{
    QTextTable* t = table();
    if (row < 1 || row > t->rows())
        throw noRow(row, t->rows());
    const std::vector<int> columns = rowCellColumns(t, row - 1);
    if (column < 1 || column > int(columns.size()))
        throw AutomationError(QStringLiteral("表格第 %1 行中没有第 %2 个单元格（这一行共 %3 个）。")
                                  .arg(row)
                                  .arg(column)
                                  .arg(columns.size()));
    return std::make_shared<BuiltinCell>(
        std::make_shared<BuiltinRange>(m_state, m_document, m_table, row - 1, columns[size_t(column - 1)]));
}

std::shared_ptr<Rows> BuiltinTable::rows()
{
    table();
    return std::make_shared<BuiltinRows>(m_state, m_document, m_table);
}

std::shared_ptr<Columns> BuiltinTable::columns()
{
    table();
    return std::make_shared<BuiltinColumns>(m_state, m_document, m_table);
}

void BuiltinTable::select()
{
    QTextTable* t = table();
    DocPtr data = document();
    QTextCursor cursor = t->cellAt(0, 0).firstCursorPosition();
    cursor.setPosition(t->cellAt(t->rows() - 1, t->columns() - 1).lastCursorPosition().position(),
                       QTextCursor::KeepAnchor);
    data->cursor = cursor;
    data->selectedTable = t;
}

void BuiltinTable::autoFitBehavior(int behavior)
{
    QTextTable* t = table();
    QTextTableFormat format = t->format();
    switch (behavior) {
    case AutoFitFixed:
        break;
    case AutoFitContent:
        // Columns as wide as their contents need, the table no wider.
        format.clearColumnWidthConstraints();
        format.setWidth(QTextLength());
        break;
    case AutoFitWindow:
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        break;
    default:
        throw AutomationError(QStringLiteral("表格自动调整方式 %1 无效。").arg(behavior));
    }
    t->setFormat(format);
}

// ---------------------------------------------------------------- rows, cells, columns

int BuiltinRows::count()
{
    return table()->rows();
}

std::shared_ptr<Row> BuiltinRows::item(int index)
{
    QTextTable* t = table();
    if (index < 1 || index > t->rows())
        throw noRow(index, t->rows());
    return std::make_shared<BuiltinRow>(m_state, m_document, m_table, index - 1);
}

std::shared_ptr<Cells> BuiltinRow::cells()
{
    if (m_row >= table()->rows())
        throw AutomationError(QStringLiteral("表格中已经没有第 %1 行。").arg(m_row + 1));
    return std::make_shared<BuiltinCells>(m_state, m_document, m_table, m_row, m_row);
}

QTextTable* BuiltinCells::rowsTable() const
{
    QTextTable* t = table();
    if (m_lastRow >= t->rows())
        throw AutomationError(QStringLiteral("表格中已经没有这些单元格。"));
    return t;
}

int BuiltinCells::count()
{
    QTextTable* t = rowsTable();
    if (m_column >= 0)
        return 1;
    int total = 0;
    for (int row = m_firstRow; row <= m_lastRow; ++row)
        total += int(rowCellColumns(t, row).size());
    return total;
}

void BuiltinCells::merge()
{
    QTextTable* t = rowsTable();
    if (m_column >= 0 || m_firstRow != m_lastRow)
        throw AutomationError(QStringLiteral("只能合并一整行的单元格。"));
    t->mergeCells(m_firstRow, 0, 1, t->columns());
}

void BuiltinCells::setVerticalAlignment(int alignment)
{
    QTextTable* t = rowsTable();
    const QTextCharFormat::VerticalAlignment value = toCellAlignment(alignment);
    for (int row = m_firstRow; row <= m_lastRow; ++row) {
        for (int column : rowCellColumns(t, row)) {
            if (m_column >= 0 && column != m_column)
                continue;
            QTextTableCell cell = t->cellAt(row, column);
            QTextTableCellFormat format = cell.format().toTableCellFormat();
            format.setVerticalAlignment(value);
            cell.setFormat(format);
        }
    }
}

int BuiltinColumns::count()
{
    return table()->columns();
}

} // namespace word::builtin
