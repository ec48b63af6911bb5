#include "automation/builtin/documentobjects.h"

#include "common/documentfiles.h"
#include "wordprocessor/docfiles.h"
#include "wordprocessor/documentwindow.h"
#include "wordprocessor/pagepictures.h"
#include "automation/builtin/tableobjects.h"

#include <QFileInfo>
#include <QTextBlock>

namespace word::builtin {

using namespace wordprocessor;

namespace {

// Whole content of a cell, from its first to its last position.
QTextCursor cellContent(const QTextTableCell& cell)
{
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor;
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

// The paragraph format and the font of the selection. Each setter checks its
// value, then applies it to the active document.
class BuiltinParagraphFormat : public ParagraphFormat, private Handle {
public:
    explicit BuiltinParagraphFormat(StatePtr state) : Handle(std::move(state)) {}

    void setAlignment(int alignment) override
    {
        QTextBlockFormat format;
        format.setAlignment(toQtAlignment(alignment));
        apply(format);
    }

    void setFirstLineIndent(float points) override
    {
        QTextBlockFormat format;
        format.setTextIndent(points * unitsPerPoint());
        apply(format);
    }

private:
    // A selected table formats every paragraph of every cell; otherwise the
    // paragraphs the selection touches (the one at the insertion point).
    void apply(const QTextBlockFormat& format)
    {
        DocPtr document = requireActive(*m_state);
        QTextTable* table = document->selectedTable;
        if (!table) {
            document->cursor.mergeBlockFormat(format);
            return;
        }
        for (int row = 0; row < table->rows(); ++row) {
            for (int column : rowCellColumns(table, row)) {
                const QTextTableCell cell = table->cellAt(row, column);
                for (auto it = cell.begin(); !it.atEnd(); ++it) {
                    const QTextBlock block = it.currentBlock();
                    if (block.isValid())
                        QTextCursor(block).mergeBlockFormat(format);
                }
            }
        }
    }
};

class BuiltinFont : public Font, private Handle {
public:
    explicit BuiltinFont(StatePtr state) : Handle(std::move(state)) {}

    void setName(const QString& name) override
    {
        if (name.trimmed().isEmpty())
            throw AutomationError(QStringLiteral("字体名称不能为空。"));
        QTextCharFormat format;
        format.setFontFamilies(QStringList{name});
        apply(format);
    }

    void setSize(float points) override
    {
        if (!(points >= 1.0f && points <= 1638.0f))
            throw AutomationError(QStringLiteral("字号 %1 磅超出了允许的范围（1 到 1638 磅）。").arg(double(points)));
        QTextCharFormat format;
        format.setFontPointSize(points);
        apply(format);
    }

private:
    // The font goes to what is typed next, and to the text the selection
    // covers when it covers any.
    void apply(const QTextCharFormat& format)
    {
        DocPtr document = requireActive(*m_state);
        document->typingFormat.merge(format);
        if (document->cursor.hasSelection())
            document->cursor.mergeCharFormat(format);
        QTextCursor block = document->cursor;
        block.mergeBlockCharFormat(format);
    }
};

} // namespace

// ---------------------------------------------------------------- documents

std::shared_ptr<Document> BuiltinDocuments::adopt(const DocPtr& document)
{
    m_state->add(document);
    return std::make_shared<BuiltinDocument>(m_state, document);
}

std::shared_ptr<Document> BuiltinDocuments::add()
{
    requireAlive(*m_state);
    return std::make_shared<BuiltinDocument>(m_state, m_state->addNew());
}

std::shared_ptr<Document> BuiltinDocuments::open(const OpenArguments& arguments)
{
    requireAlive(*m_state);
    // Passwords and conversions do not apply: the file is read as it is.
    return adopt(translated([&] { return wordprocessor::openDocument(arguments.filename); }));
}

std::shared_ptr<Document> BuiltinDocuments::item(const QString& nameOrPath)
{
    requireAlive(*m_state);
    for (const auto& document : m_state->documents) {
        if ((!document->path.isEmpty() && QFileInfo(document->path) == QFileInfo(nameOrPath))
            || document->name == nameOrPath)
            return std::make_shared<BuiltinDocument>(m_state, document);
    }
    throw AutomationError(QStringLiteral("找不到文档“%1”。").arg(nameOrPath));
}

int BuiltinDocuments::count()
{
    requireAlive(*m_state);
    return int(m_state->documents.size());
}

// ---------------------------------------------------------------- document

QString BuiltinDocument::name()
{
    return document()->name;
}

void BuiltinDocument::activate()
{
    m_state->activate(document());
}

std::shared_ptr<PageSetup> BuiltinDocument::pageSetup()
{
    return std::make_shared<BuiltinPageSetup>(m_state, document());
}

std::shared_ptr<Tables> BuiltinDocument::tables()
{
    return std::make_shared<BuiltinTables>(m_state, document());
}

void BuiltinDocument::save()
{
    DocPtr data = document();
    translated([&] { m_state->save(*data); });
}

void BuiltinDocument::saveAs(const QString& path)
{
    DocPtr data = document();
    translated([&] {
        writeDocument(*data, path, documentfiles::formatOfName(path).value_or(docfile::Format::Word97));
    });
    if (m_state->window)
        m_state->window->refresh();
}

QStringList BuiltinDocument::exportPicture(const QString& path, const PictureOptions& options)
{
    DocPtr data = document();
    return translated([&] { return exportPictures(*data, path, options); });
}

// ---------------------------------------------------------------- page setup

void BuiltinPageSetup::set(float PageSetupData::*member, float points)
{
    DocPtr data = document();
    if (!(points >= 0.0f && points <= 1584.0f)) // 22 inches, the largest page Word allows
        throw AutomationError(QStringLiteral("页面设置的数值 %1 磅超出了允许的范围。").arg(double(points)));
    data->page.*member = points;
    m_state->pageChanged(data);
}

void BuiltinPageSetup::setVerticalAlignment(int alignment)
{
    DocPtr data = document();
    if (alignment < PageAlignTop || alignment > PageAlignBottom)
        throw AutomationError(QStringLiteral("页面垂直对齐方式 %1 无效。").arg(alignment));
    data->page.verticalAlignment = alignment;
}

// ---------------------------------------------------------------- selection

std::shared_ptr<ParagraphFormat> BuiltinSelection::paragraphFormat()
{
    requireActive(*m_state);
    return std::make_shared<BuiltinParagraphFormat>(m_state);
}

std::shared_ptr<Font> BuiltinSelection::font()
{
    requireActive(*m_state);
    return std::make_shared<BuiltinFont>(m_state);
}

void BuiltinSelection::typeText(const QString& text)
{
    DocPtr document = requireActive(*m_state);
    document->selectedTable = nullptr;
    document->cursor.insertText(text, document->typingFormat);
}

void BuiltinSelection::typeParagraph()
{
    DocPtr document = requireActive(*m_state);
    document->selectedTable = nullptr;
    // The new paragraph carries on the paragraph and font formats.
    document->cursor.insertBlock(document->cursor.blockFormat(), document->typingFormat);
}

std::shared_ptr<Range> BuiltinSelection::range()
{
    DocPtr document = requireActive(*m_state);
    return std::make_shared<BuiltinRange>(m_state, document, document->cursor.position());
}

// A selected table gives all its cells; otherwise the cell holding the
// insertion point (in the innermost table around it).
std::shared_ptr<Cells> BuiltinSelection::cells()
{
    DocPtr document = requireActive(*m_state);
    if (QTextTable* table = document->selectedTable)
        return std::make_shared<BuiltinCells>(m_state, document, table, 0, table->rows() - 1);
    if (QTextTable* table = document->cursor.currentTable()) {
        const QTextTableCell cell = table->cellAt(document->cursor);
        return std::make_shared<BuiltinCells>(m_state, document, table, cell.row(), cell.row(), cell.column());
    }
    throw AutomationError(QStringLiteral("此命令无效，因为插入点不在表格中。"));
}

// ---------------------------------------------------------------- range

QTextTableCell BuiltinRange::cell()
{
    QTextTable* t = table();
    QTextTableCell cell;
    if (m_row < t->rows() && m_column < t->columns())
        cell = t->cellAt(m_row, m_column);
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

void BuiltinRange::typeAtPosition(const QString& text)
{
    DocPtr data = document();
    QTextCursor cursor(data->text.get());
    cursor.setPosition(insertionPosition());
    cursor.insertText(text, data->typingFormat);
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
        typeAtPosition(text);
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
        typeAtPosition(text);
        return;
    }
    QTextCursor cursor = cell().lastCursorPosition();
    cursor.insertText(text, cursor.blockCharFormat());
}

} // namespace word::builtin
