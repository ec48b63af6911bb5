#include "automation/builtin/builtinobjects.h"

#include "automation/builtin/docfiles.h"
#include "automation/builtin/documentwindow.h"

#include <QFileInfo>
#include <QTextBlock>
#include <QTextFrame>
#include <set>

namespace word::builtin {

namespace {

AutomationError noDocument()
{
    return AutomationError(QStringLiteral("文档已经关闭，无法继续操作。"));
}

AutomationError noTable()
{
    return AutomationError(QStringLiteral("表格已经不在文档中，无法继续操作。"));
}

DocPtr lockDocument(const StatePtr& state, const std::weak_ptr<DocumentData>& document)
{
    state->requireAlive();
    DocPtr data = document.lock();
    if (!data || !data->text)
        throw noDocument();
    return data;
}

QTextTable* lockTable(const StatePtr& state, const QPointer<QTextTable>& table)
{
    state->requireAlive();
    if (!table)
        throw noTable();
    return table.data();
}

// Whole content of a cell, from its first to its last position.
QTextCursor cellContent(const QTextTableCell& cell)
{
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor;
}

// Every block of a cell, each with the action applied.
template <typename F>
void forEachBlock(const QTextTableCell& cell, F action)
{
    for (auto it = cell.begin(); !it.atEnd(); ++it) {
        const QTextBlock block = it.currentBlock();
        if (block.isValid())
            action(block);
    }
}

Qt::Alignment toQtAlignment(int alignment)
{
    switch (alignment) {
    case AlignLeft: return Qt::AlignLeft | Qt::AlignAbsolute;
    case AlignCenter: return Qt::AlignHCenter;
    case AlignRight: return Qt::AlignRight | Qt::AlignAbsolute;
    case AlignJustify: return Qt::AlignJustify;
    }
    throw AutomationError(QStringLiteral("段落对齐方式 %1 无效。").arg(alignment));
}

QTextCharFormat::VerticalAlignment toCellAlignment(int alignment)
{
    switch (alignment) {
    case CellAlignTop: return QTextCharFormat::AlignTop;
    case CellAlignCenter: return QTextCharFormat::AlignMiddle;
    case CellAlignBottom: return QTextCharFormat::AlignBottom;
    }
    throw AutomationError(QStringLiteral("单元格垂直对齐方式 %1 无效。").arg(alignment));
}

// The table holding a document position, outermost first is not needed: the
// innermost table is the one whose cell the position lies in.
QTextTable* tableAt(const QTextCursor& cursor)
{
    return cursor.currentTable();
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

// ---------------------------------------------------------------- documents

std::shared_ptr<Document> BuiltinDocuments::add()
{
    m_state->requireAlive();
    auto data = std::make_shared<DocumentData>();
    data->text = std::make_unique<QTextDocument>();
    data->text->setDefaultFont(defaultDocumentFont());
    data->name = QStringLiteral("文档%1").arg(++m_state->untitledCounter);
    data->cursor = QTextCursor(data->text.get());
    data->typingFormat.setFont(defaultDocumentFont());
    EngineState::applyPage(*data);
    data->text->setModified(false);
    m_state->documents.push_back(data);
    m_state->active = data;
    if (m_state->window)
        m_state->window->showDocument(data);
    return std::make_shared<BuiltinDocument>(m_state, data);
}

std::shared_ptr<Document> BuiltinDocuments::open(const OpenArguments& arguments)
{
    m_state->requireAlive();
    // Passwords and conversions do not apply: the file is read as it is.
    auto data = openDocument(arguments.filename);
    m_state->documents.push_back(data);
    m_state->active = data;
    if (m_state->window)
        m_state->window->showDocument(data);
    return std::make_shared<BuiltinDocument>(m_state, data);
}

std::shared_ptr<Document> BuiltinDocuments::item(const QString& nameOrPath)
{
    m_state->requireAlive();
    for (const auto& document : m_state->documents) {
        if ((!document->path.isEmpty() && QFileInfo(document->path) == QFileInfo(nameOrPath))
            || document->name == nameOrPath)
            return std::make_shared<BuiltinDocument>(m_state, document);
    }
    throw AutomationError(QStringLiteral("找不到文档“%1”。").arg(nameOrPath));
}

int BuiltinDocuments::count()
{
    m_state->requireAlive();
    return int(m_state->documents.size());
}

// ---------------------------------------------------------------- document

DocPtr BuiltinDocument::data()
{
    return lockDocument(m_state, m_document);
}

QString BuiltinDocument::name()
{
    return data()->name;
}

void BuiltinDocument::activate()
{
    DocPtr document = data();
    m_state->active = document;
    if (m_state->window)
        m_state->window->showDocument(document);
}

std::shared_ptr<PageSetup> BuiltinDocument::pageSetup()
{
    return std::make_shared<BuiltinPageSetup>(m_state, data());
}

std::shared_ptr<Tables> BuiltinDocument::tables()
{
    return std::make_shared<BuiltinTables>(m_state, data());
}

void BuiltinDocument::save()
{
    DocPtr document = data();
    if (saveDocument(*document, m_state->window) && m_state->window)
        m_state->window->refresh();
}

// ---------------------------------------------------------------- page setup

DocPtr BuiltinPageSetup::data()
{
    return lockDocument(m_state, m_document);
}

void BuiltinPageSetup::set(float PageSetupData::*member, float points)
{
    DocPtr document = data();
    if (!(points >= 0.0f && points <= 1584.0f)) // 22 inches, the largest page Word allows
        throw AutomationError(QStringLiteral("页面设置的数值 %1 磅超出了允许的范围。").arg(double(points)));
    document->page.*member = points;
    EngineState::applyPage(*document);
    if (m_state->window)
        m_state->window->pageChanged(document);
}

void BuiltinPageSetup::setVerticalAlignment(int alignment)
{
    DocPtr document = data();
    if (alignment < PageAlignTop || alignment > PageAlignBottom)
        throw AutomationError(QStringLiteral("页面垂直对齐方式 %1 无效。").arg(alignment));
    document->page.verticalAlignment = alignment;
}

// ---------------------------------------------------------------- selection

namespace {

class BuiltinParagraphFormat : public ParagraphFormat {
public:
    explicit BuiltinParagraphFormat(StatePtr state) : m_state(std::move(state)) {}

    void setAlignment(int alignment) override
    {
        const Qt::Alignment qtAlignment = toQtAlignment(alignment);
        apply([&](QTextBlockFormat& format) { format.setAlignment(qtAlignment); });
    }

    void setFirstLineIndent(float points) override
    {
        const double indent = points * unitsPerPoint();
        apply([&](QTextBlockFormat& format) { format.setTextIndent(indent); });
    }

private:
    // A selected table formats every paragraph of every cell; otherwise the
    // paragraphs the selection touches (the one at the insertion point).
    template <typename F>
    void apply(F change)
    {
        DocPtr document = m_state->requireActive();
        QTextBlockFormat format;
        change(format);
        if (QTextTable* table = document->selectedTable) {
            for (int row = 0; row < table->rows(); ++row) {
                for (int column : rowCellColumns(table, row)) {
                    forEachBlock(table->cellAt(row, column), [&](const QTextBlock& block) {
                        QTextCursor cursor(block);
                        cursor.mergeBlockFormat(format);
                    });
                }
            }
            return;
        }
        document->cursor.mergeBlockFormat(format);
    }

    StatePtr m_state;
};

class BuiltinFont : public Font {
public:
    explicit BuiltinFont(StatePtr state) : m_state(std::move(state)) {}

    void setName(const QString& name) override
    {
        if (name.trimmed().isEmpty())
            throw AutomationError(QStringLiteral("字体名称不能为空。"));
        apply([&](QTextCharFormat& format) { format.setFontFamilies(QStringList{name}); });
    }

    void setSize(float points) override
    {
        if (!(points >= 1.0f && points <= 1638.0f))
            throw AutomationError(QStringLiteral("字号 %1 磅超出了允许的范围（1 到 1638 磅）。").arg(double(points)));
        apply([&](QTextCharFormat& format) { format.setFontPointSize(points); });
    }

private:
    // The font goes to what is typed next, and to the text the selection
    // covers when it covers any.
    template <typename F>
    void apply(F change)
    {
        DocPtr document = m_state->requireActive();
        QTextCharFormat format;
        change(format);
        document->typingFormat.merge(format);
        if (document->cursor.hasSelection())
            document->cursor.mergeCharFormat(format);
        QTextCursor block = document->cursor;
        block.mergeBlockCharFormat(format);
    }

    StatePtr m_state;
};

} // namespace

std::shared_ptr<ParagraphFormat> BuiltinSelection::paragraphFormat()
{
    m_state->requireActive();
    return std::make_shared<BuiltinParagraphFormat>(m_state);
}

std::shared_ptr<Font> BuiltinSelection::font()
{
    m_state->requireActive();
    return std::make_shared<BuiltinFont>(m_state);
}

void BuiltinSelection::typeText(const QString& text)
{
    DocPtr document = m_state->requireActive();
    document->selectedTable = nullptr;
    document->cursor.insertText(text, document->typingFormat);
}

void BuiltinSelection::typeParagraph()
{
    DocPtr document = m_state->requireActive();
    document->selectedTable = nullptr;
    // The new paragraph carries on the paragraph and font formats.
    document->cursor.insertBlock(document->cursor.blockFormat(), document->typingFormat);
}

std::shared_ptr<Range> BuiltinSelection::range()
{
    DocPtr document = m_state->requireActive();
    return std::make_shared<BuiltinRange>(m_state, document, document->cursor.position());
}

std::shared_ptr<Cells> BuiltinSelection::cells()
{
    DocPtr document = m_state->requireActive();
    if (QTextTable* table = document->selectedTable)
        return std::make_shared<BuiltinCells>(m_state, table, 0, table->rows() - 1);
    if (QTextTable* table = tableAt(document->cursor)) {
        const QTextTableCell cell = table->cellAt(document->cursor);
        return std::make_shared<BuiltinCells>(m_state, table, cell.row(), cell.column(), true);
    }
    throw AutomationError(QStringLiteral("此命令无效，因为插入点不在表格中。"));
}

// ---------------------------------------------------------------- range

BuiltinRange::BuiltinRange(StatePtr state, std::weak_ptr<DocumentData> document, int position)
    : m_state(std::move(state)), m_document(std::move(document)), m_position(position)
{
}

BuiltinRange::BuiltinRange(StatePtr state, std::weak_ptr<DocumentData> document, QPointer<QTextTable> table,
                           int row, int column)
    : m_state(std::move(state)), m_document(std::move(document)), m_table(std::move(table)), m_row(row),
      m_column(column)
{
}

DocPtr BuiltinRange::document()
{
    return lockDocument(m_state, m_document);
}

QTextTableCell BuiltinRange::cell()
{
    document();
    QTextTable* table = lockTable(m_state, m_table);
    QTextTableCell cell;
    if (m_row < table->rows() && m_column < table->columns())
        cell = table->cellAt(m_row, m_column);
    if (!cell.isValid() || cell.row() != m_row || cell.column() != m_column)
        throw AutomationError(QStringLiteral("表格中已经没有这个单元格。"));
    return cell;
}

int BuiltinRange::insertionPosition()
{
    DocPtr data = document();
    if (m_row >= 0)
        return cell().firstPosition();
    return qBound(0, m_position, data->text->characterCount() - 1);
}

QString BuiltinRange::text()
{
    if (m_row < 0) {
        document();
        return QString();
    }
    QString text = cellContent(cell()).selectedText();
    text.replace(QChar::ParagraphSeparator, u'\r');
    return text;
}

void BuiltinRange::setText(const QString& text)
{
    if (m_row < 0) {
        DocPtr data = document();
        QTextCursor cursor(data->text.get());
        cursor.setPosition(insertionPosition());
        cursor.insertText(text, data->typingFormat);
        return;
    }
    QTextCursor cursor = cellContent(cell());
    // Keep the font the cell was made with.
    QTextCursor first = cursor;
    first.setPosition(cursor.selectionStart());
    const QTextCharFormat format = first.blockCharFormat();
    cursor.insertText(text, format);
}

void BuiltinRange::insertAfter(const QString& text)
{
    if (m_row < 0) {
        DocPtr data = document();
        QTextCursor cursor(data->text.get());
        cursor.setPosition(insertionPosition());
        cursor.insertText(text, data->typingFormat);
        return;
    }
    QTextCursor cursor = cell().lastCursorPosition();
    cursor.insertText(text, cursor.blockCharFormat());
}

// ---------------------------------------------------------------- tables

DocPtr BuiltinTables::data()
{
    return lockDocument(m_state, m_document);
}

std::shared_ptr<Table> BuiltinTables::add(const std::shared_ptr<Range>& range, int rows, int columns, int)
{
    DocPtr document = data();
    auto* at = dynamic_cast<BuiltinRange*>(range.get());
    if (!at || at->document() != document)
        throw AutomationError(QStringLiteral("插入表格的位置不属于这个文档。"));
    if (rows < 1 || rows > 32767 || columns < 1 || columns > 63)
        throw AutomationError(
            QStringLiteral("无法插入 %1 行 %2 列的表格：行数须在 1 到 32767 之间，列数须在 1 到 63 之间。")
                .arg(rows)
                .arg(columns));

    QTextCursor cursor(document->text.get());
    cursor.setPosition(at->insertionPosition());
    const QTextBlockFormat paragraph = cursor.blockFormat();
    const QTextCharFormat font = document->typingFormat;
    // An empty paragraph becomes the table, as in any word processor: the
    // table goes at the end of the paragraph before it instead, which leaves
    // no empty paragraph between the two.
    const QTextBlock block = cursor.block();
    const QTextBlock previous = block.previous();
    if (block.length() <= 1 && previous.isValid()
        && QTextCursor(previous).currentFrame() == document->text->rootFrame()
        && cursor.currentFrame() == document->text->rootFrame()) {
        cursor.deletePreviousChar();
    }

    QTextTableFormat format = plainTableFormat();
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    QTextTable* table = cursor.insertTable(rows, columns, format);

    // Every cell starts with the paragraph and font of the insertion point.
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            QTextCursor cell = table->cellAt(row, column).firstCursorPosition();
            cell.setBlockFormat(paragraph);
            cell.mergeBlockCharFormat(font);
        }
    }
    // The insertion point goes into the first cell, as in any word processor.
    document->cursor = table->cellAt(0, 0).firstCursorPosition();
    document->selectedTable = nullptr;
    return std::make_shared<BuiltinTable>(m_state, document, table);
}

std::shared_ptr<Table> BuiltinTables::item(int index)
{
    DocPtr document = data();
    const auto tables = documentTables(document->text.get());
    if (index < 1 || index > int(tables.size()))
        throw AutomationError(tables.empty() ? QStringLiteral("文档中没有表格。")
                                             : QStringLiteral("文档中没有第 %1 个表格（共 %2 个）。")
                                                   .arg(index)
                                                   .arg(tables.size()));
    return std::make_shared<BuiltinTable>(m_state, document, tables[size_t(index - 1)]);
}

int BuiltinTables::count()
{
    return int(documentTables(data()->text.get()).size());
}

// ---------------------------------------------------------------- table

QTextTable* BuiltinTable::table()
{
    lockDocument(m_state, m_document);
    return lockTable(m_state, m_table);
}

std::shared_ptr<Cell> BuiltinTable::cell(int row, int column)
{
    QTextTable* t = table();
    if (row < 1 || row > t->rows())
        throw AutomationError(QStringLiteral("表格中没有第 %1 行（共 %2 行）。").arg(row).arg(t->rows()));
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
    return std::make_shared<BuiltinColumns>(m_state, m_table);
}

void BuiltinTable::select()
{
    QTextTable* t = table();
    DocPtr document = lockDocument(m_state, m_document);
    QTextCursor cursor = t->cellAt(0, 0).firstCursorPosition();
    cursor.setPosition(t->cellAt(t->rows() - 1, t->columns() - 1).lastCursorPosition().position(),
                       QTextCursor::KeepAnchor);
    document->cursor = cursor;
    document->selectedTable = t;
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
    lockDocument(m_state, m_document);
    return lockTable(m_state, m_table)->rows();
}

std::shared_ptr<Row> BuiltinRows::item(int index)
{
    QTextTable* table = lockTable(m_state, m_table);
    if (index < 1 || index > table->rows())
        throw AutomationError(QStringLiteral("表格中没有第 %1 行（共 %2 行）。").arg(index).arg(table->rows()));
    return std::make_shared<BuiltinRow>(m_state, m_document, m_table, index - 1);
}

std::shared_ptr<Cells> BuiltinRow::cells()
{
    lockDocument(m_state, m_document);
    QTextTable* table = lockTable(m_state, m_table);
    if (m_row >= table->rows())
        throw AutomationError(QStringLiteral("表格中已经没有第 %1 行。").arg(m_row + 1));
    return std::make_shared<BuiltinCells>(m_state, m_table, m_row, m_row);
}

QTextTable* BuiltinCells::table()
{
    QTextTable* t = lockTable(m_state, m_table);
    if (m_lastRow >= t->rows())
        throw AutomationError(QStringLiteral("表格中已经没有这些单元格。"));
    return t;
}

int BuiltinCells::count()
{
    QTextTable* t = table();
    if (m_column >= 0)
        return 1;
    int total = 0;
    for (int row = m_firstRow; row <= m_lastRow; ++row)
        total += int(rowCellColumns(t, row).size());
    return total;
}

void BuiltinCells::merge()
{
    QTextTable* t = table();
    if (m_column >= 0 || m_firstRow != m_lastRow)
        throw AutomationError(QStringLiteral("只能合并一整行的单元格。"));
    t->mergeCells(m_firstRow, 0, 1, t->columns());
}

void BuiltinCells::setVerticalAlignment(int alignment)
{
    QTextTable* t = table();
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
    return lockTable(m_state, m_table)->columns();
}

} // namespace word::builtin
