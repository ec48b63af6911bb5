#include "wordprocessor/pageaccessible.h"

#include "wordprocessor/pageeditor.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <algorithm>

namespace wordprocessor {

namespace {

QAccessibleInterface* makeInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String("wordprocessor::PageEditor"))
        if (auto* editor = qobject_cast<PageEditor*>(object))
            return new PageAccessible(editor);
    return nullptr;
}

// The text as the interface counts it: the document's characters, one a
// position (a paragraph's end is a line break).
QString plainText(const QTextDocument* document, int start, int end)
{
    QTextCursor cursor(const_cast<QTextDocument*>(document));
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    // Paragraph ends, line breaks and the edges of table cells.
    for (QChar& c : text)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c.unicode() == 0xFDD0
            || c.unicode() == 0xFDD1)
            c = u'\n';
    return text;
}

} // namespace

PageAccessible::PageAccessible(PageEditor* editor) : QAccessibleWidget(editor, QAccessible::EditableText) {}

void PageAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

PageEditor* PageAccessible::editor() const
{
    return static_cast<PageEditor*>(widget());
}

void* PageAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString PageAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return editor()->toPlainText();
    return QAccessibleWidget::text(type);
}

QAccessible::State PageAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = !editor()->isReadOnly();
    state.readOnly = editor()->isReadOnly();
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

void PageAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    const QTextCursor cursor = editor()->textCursor();
    if (selectionIndex == 0 && cursor.hasSelection()) {
        *startOffset = cursor.selectionStart();
        *endOffset = cursor.selectionEnd();
    }
}

int PageAccessible::selectionCount() const
{
    return editor()->textCursor().hasSelection() ? 1 : 0;
}

void PageAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void PageAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex != 0)
        return;
    QTextCursor cursor = editor()->textCursor();
    cursor.clearSelection();
    editor()->setTextCursor(cursor);
}

void PageAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    const int last = characterCount();
    QTextCursor cursor = editor()->textCursor();
    cursor.setPosition(std::clamp(startOffset, 0, last));
    cursor.setPosition(std::clamp(endOffset, 0, last), QTextCursor::KeepAnchor);
    editor()->setTextCursor(cursor);
}

int PageAccessible::cursorPosition() const
{
    return editor()->textCursor().position();
}

void PageAccessible::setCursorPosition(int position)
{
    QTextCursor cursor = editor()->textCursor();
    cursor.setPosition(std::clamp(position, 0, characterCount()));
    editor()->setTextCursor(cursor);
}

QString PageAccessible::text(int startOffset, int endOffset) const
{
    const int last = characterCount();
    startOffset = std::clamp(startOffset, 0, last);
    endOffset = std::clamp(endOffset, startOffset, last);
    return plainText(editor()->document(), startOffset, endOffset);
}

int PageAccessible::characterCount() const
{
    return std::max(0, editor()->document()->characterCount() - 1);
}

QRect PageAccessible::characterRect(int offset) const
{
    const QTextDocument* document = editor()->document();
    const QTextBlock block = document->findBlock(offset);
    const QTextLayout* layout = block.layout();
    if (!block.isValid() || !layout)
        return QRect();
    const int inBlock = offset - block.position();
    const QTextLine line = layout->lineForTextPosition(inBlock);
    if (!line.isValid())
        return QRect();
    // In the layout's (document) coordinates: the block's place, the line,
    // and the character from its start to the next one.
    const QPointF origin = document->documentLayout()->blockBoundingRect(block).topLeft();
    const double left = line.cursorToX(inBlock);
    const double right = inBlock < block.length() - 1 ? line.cursorToX(inBlock + 1) : left + line.height() / 4;
    const QRectF inDocument(origin.x() + std::min(left, right), origin.y() + line.y(), std::abs(right - left),
                            line.height());
    // Then as the view shows it: zoomed, on its sheet, scrolled.
    const QRect inView = editor()->viewRect(inDocument).toAlignedRect();
    return QRect(editor()->viewport()->mapToGlobal(inView.topLeft()), inView.size());
}

int PageAccessible::offsetAtPoint(const QPoint& point) const
{
    const QPointF inViewport = editor()->viewport()->mapFromGlobal(point);
    if (!editor()->viewport()->rect().contains(inViewport.toPoint()))
        return -1;
    const QPointF inDocument = editor()->documentPoint(inViewport);
    return editor()->document()->documentLayout()->hitTest(inDocument, Qt::FuzzyHit);
}

void PageAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    QTextCursor cursor = editor()->textCursor();
    const QTextCursor keep = cursor;
    cursor.setPosition(std::clamp(endIndex, 0, characterCount()));
    editor()->setTextCursor(cursor);
    editor()->ensureCursorVisible();
    cursor.setPosition(std::clamp(startIndex, 0, characterCount()));
    editor()->setTextCursor(cursor);
    editor()->ensureCursorVisible();
    editor()->setTextCursor(keep);
}

QString PageAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    // The font of the character, as IAccessible2 and AT-SPI name it.
    const QTextBlock block = editor()->document()->findBlock(offset);
    *startOffset = *endOffset = offset;
    if (!block.isValid())
        return QString();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.contains(offset))
            continue;
        *startOffset = fragment.position();
        *endOffset = fragment.position() + fragment.length();
        const QTextCharFormat format = fragment.charFormat();
        const QFont font = format.font();
        return QStringLiteral("font-family:\"%1\";font-size:%2pt;font-weight:%3;")
            .arg(font.family())
            .arg(font.pointSizeF())
            .arg(font.bold() ? 700 : 400);
    }
    return QString();
}

void PageAccessible::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void PageAccessible::insertText(int offset, const QString& text)
{
    replaceText(offset, offset, text);
}

void PageAccessible::replaceText(int startOffset, int endOffset, const QString& text)
{
    if (editor()->isReadOnly())
        return;
    QTextCursor cursor(editor()->document());
    cursor.setPosition(std::clamp(startOffset, 0, characterCount()));
    cursor.setPosition(std::clamp(endOffset, 0, characterCount()), QTextCursor::KeepAnchor);
    cursor.insertText(text, editor()->currentCharFormat());
}

} // namespace wordprocessor
