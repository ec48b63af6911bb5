// The page view's input: mouse, wheel, drops and input methods reach
// QTextEdit at the document point under the pointer, whatever the zoom and
// wherever the sheet stands.

#include "wordprocessor/pageeditor.h"

#include "wordprocessor/tableediting.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextTable>
#include <algorithm>
#include <cmath>

namespace wordprocessor {

template <typename Handler>
void PageEditor::sendMapped(QMouseEvent* event, Handler handler)
{
    QMouseEvent mapped(event->type(), mapToDocument(event->position()), event->scenePosition(), event->globalPosition(),
                       event->button(), event->buttons(), event->modifiers(), event->pointingDevice());
    mapped.setTimestamp(event->timestamp());
    mapped.setAccepted(false);
    handler(&mapped);
    event->setAccepted(mapped.isAccepted());
}

void PageEditor::mousePressEvent(QMouseEvent* event)
{
    sendMapped(event, [this](QMouseEvent* e) { QTextEdit::mousePressEvent(e); });
}

void PageEditor::mouseMoveEvent(QMouseEvent* event)
{
    sendMapped(event, [this](QMouseEvent* e) { QTextEdit::mouseMoveEvent(e); });
    // Selecting past the edge of the view scrolls it.
    if ((event->buttons() & Qt::LeftButton) && !viewport()->rect().contains(event->position().toPoint())) {
        if (!m_autoScroll.isActive())
            m_autoScroll.start(50, this);
    } else {
        m_autoScroll.stop();
    }
}

void PageEditor::mouseReleaseEvent(QMouseEvent* event)
{
    m_autoScroll.stop();
    sendMapped(event, [this](QMouseEvent* e) { QTextEdit::mouseReleaseEvent(e); });
}

void PageEditor::mouseDoubleClickEvent(QMouseEvent* event)
{
    sendMapped(event, [this](QMouseEvent* e) { QTextEdit::mouseDoubleClickEvent(e); });
}

void PageEditor::autoScroll()
{
    if (!(QApplication::mouseButtons() & Qt::LeftButton)) {
        m_autoScroll.stop();
        return;
    }
    const QPoint global = QCursor::pos();
    const QPoint at = viewport()->mapFromGlobal(global);
    const QRect area = viewport()->rect();
    const auto step = [](int beyond) { return beyond == 0 ? 0 : (beyond > 0 ? 1 : -1) * std::clamp(std::abs(beyond), 4, 60); };
    m_vertical->setValue(m_vertical->value() + step(at.y() < 0 ? at.y() : std::max(0, at.y() - area.height())));
    m_horizontal->setValue(m_horizontal->value() + step(at.x() < 0 ? at.x() : std::max(0, at.x() - area.width())));
    QMouseEvent move(QEvent::MouseMove, at, viewport()->mapTo(window(), at), global, Qt::NoButton, Qt::LeftButton,
                     QApplication::keyboardModifiers());
    sendMapped(&move, [this](QMouseEvent* e) { QTextEdit::mouseMoveEvent(e); });
}

void PageEditor::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = event->angleDelta().y() / 120;
        if (steps != 0) {
            m_fitWidth = false;
            const double stepped = steps > 0 ? std::floor(zoom() * 10 + 1e-6) / 10 + 0.1 * steps
                                             : std::ceil(zoom() * 10 - 1e-6) / 10 + 0.1 * steps;
            setZoomAround(stepped, event->position());
        }
        event->accept();
        return;
    }
    const QPoint delta = event->angleDelta();
    const bool sideways = std::abs(delta.x()) > std::abs(delta.y()) || (event->modifiers() & Qt::AltModifier);
    QCoreApplication::sendEvent(sideways ? m_horizontal : m_vertical, event);
    updateMicroFocus();
}

void PageEditor::keyPressEvent(QKeyEvent* event)
{
    // Page Up and Page Down turn a view's height of the zoomed pages, the
    // insertion point keeping its place on the screen (QTextEdit would move
    // it a view's height of the unzoomed text).
    const bool down = event->key() == Qt::Key_PageDown;
    if ((down || event->key() == Qt::Key_PageUp) && !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))) {
        const QPointF at = viewRect(cursorRect()).center();
        m_vertical->setValue(m_vertical->value() + (down ? 1 : -1) * m_vertical->pageStep());
        const QTextCursor target = cursorForPosition(mapToDocument(at).toPoint());
        QTextCursor cursor = textCursor();
        cursor.setPosition(target.position(),
                           event->modifiers() & Qt::ShiftModifier ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
        setTextCursor(cursor);
        event->accept();
        return;
    }
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) && !isReadOnly()
        && moveAcrossCells(event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier))) {
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

bool PageEditor::moveAcrossCells(bool backward)
{
    QTextTable* table = textCursor().currentTable();
    if (!table)
        return false;
    // The cells in reading order, a merged one once.
    QList<QTextTableCell> cells;
    for (int row = 0; row < table->rows(); ++row)
        for (int column = 0; column < table->columns(); ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            if (cell.row() == row && cell.column() == column)
                cells << cell;
        }
    const QTextTableCell current = table->cellAt(textCursor());
    qsizetype at = 0;
    while (at < cells.size() && !(cells[at].row() == current.row() && cells[at].column() == current.column()))
        ++at;
    at += backward ? -1 : 1;
    if (at < 0)
        return true; // the first cell: nowhere further back
    QTextTableCell target;
    if (at < cells.size()) {
        target = cells[at];
    } else {
        // Past the last cell: a new row like the last one, as word processors do.
        QTextCursor edit = current.firstCursorPosition();
        edit.beginEditBlock();
        tableediting::insertRows(edit, true);
        edit.endEditBlock();
        target = table->cellAt(table->rows() - 1, 0);
    }
    QTextCursor selection = target.firstCursorPosition();
    selection.setPosition(target.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    setTextCursor(selection); // the view follows the insertion point
    return true;
}

void PageEditor::contextMenuEvent(QContextMenuEvent* event)
{
    QContextMenuEvent mapped(event->reason(), mapToDocument(event->pos()).toPoint(), event->globalPos(),
                             event->modifiers());
    QTextEdit::contextMenuEvent(&mapped);
    event->setAccepted(mapped.isAccepted());
}

void PageEditor::dragEnterEvent(QDragEnterEvent* event)
{
    QDragEnterEvent mapped(mapToDocument(event->position()).toPoint(), event->possibleActions(), event->mimeData(),
                           event->buttons(), event->modifiers());
    QTextEdit::dragEnterEvent(&mapped);
    event->setDropAction(mapped.dropAction());
    event->setAccepted(mapped.isAccepted());
}

void PageEditor::dragMoveEvent(QDragMoveEvent* event)
{
    QDragMoveEvent mapped(mapToDocument(event->position()).toPoint(), event->possibleActions(), event->mimeData(),
                          event->buttons(), event->modifiers());
    QTextEdit::dragMoveEvent(&mapped);
    event->setDropAction(mapped.dropAction());
    event->setAccepted(mapped.isAccepted());
}

void PageEditor::dropEvent(QDropEvent* event)
{
    QDropEvent mapped(mapToDocument(event->position()), event->possibleActions(), event->mimeData(), event->buttons(),
                      event->modifiers());
    QTextEdit::dropEvent(&mapped);
    event->setDropAction(mapped.dropAction());
    event->setAccepted(mapped.isAccepted());
}

QVariant PageEditor::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const QVariant value = QTextEdit::inputMethodQuery(query);
    // The candidate window goes beside the cursor as it is shown.
    if ((query == Qt::ImCursorRectangle || query == Qt::ImAnchorRectangle) && value.canConvert<QRectF>())
        return viewRect(value.toRectF()).toAlignedRect();
    return value;
}

} // namespace wordprocessor
