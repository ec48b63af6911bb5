// The page view's scrolling and zoom: its own scroll bars, the mapping
// between the view and the document's coordinates, and the zoom kept
// around the insertion point or a point of the user's.

#include "wordprocessor/pageeditor.h"

#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <climits>
#include <cmath>

namespace wordprocessor {

void PageEditor::placeScrollBars()
{
    m_placing = true;
    const QRect area = contentsRect();
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int viewWidth = std::max(1, area.width() - extent);
    if (m_fitWidth)
        m_layout.zoom = std::clamp(m_layout.zoomToFit(viewWidth), kMinimumZoom, kMaximumZoom);
    m_layout.viewWidth = viewWidth;
    const QSizeF content = m_layout.contentSize();
    const bool wide = content.width() > viewWidth + 0.5;
    const int viewHeight = std::max(1, area.height() - (wide ? extent : 0));
    setViewportMargins(0, 0, extent, wide ? extent : 0);
    m_vertical->setGeometry(area.right() - extent + 1, area.top(), extent, viewHeight);
    m_horizontal->setGeometry(area.left(), area.bottom() - extent + 1, viewWidth, extent);
    m_horizontal->setVisible(wide);
    m_vertical->setRange(0, std::max(0, int(std::ceil(content.height())) - viewHeight));
    m_vertical->setPageStep(viewHeight);
    m_horizontal->setRange(0, std::max(0, int(std::ceil(content.width())) - viewWidth));
    m_horizontal->setPageStep(viewWidth);
    m_placing = false;
}

QScrollBar* PageEditor::pageScrollBar(Qt::Orientation orientation) const
{
    return orientation == Qt::Vertical ? m_vertical : m_horizontal;
}

QPointF PageEditor::scrollOffset() const
{
    return {double(m_horizontal->value()), double(m_vertical->value())};
}

QRectF PageEditor::sheetRect(int page) const
{
    return m_layout.sheet(page).translated(-scrollOffset());
}

QRectF PageEditor::viewRect(const QRectF& documentRect) const
{
    return m_layout.toView(documentRect).translated(-scrollOffset());
}

QPointF PageEditor::documentPoint(const QPointF& viewportPoint) const
{
    return mapToDocument(viewportPoint);
}

QPointF PageEditor::mapToDocument(const QPointF& viewportPoint) const
{
    return m_layout.toDocument(viewportPoint + scrollOffset());
}

void PageEditor::updateDocumentRect(const QRectF& rect)
{
    if (!rect.isValid() || rect.width() >= INT_MAX / 2 || rect.height() >= INT_MAX / 2)
        viewport()->update();
    else
        viewport()->update(viewRect(rect).toAlignedRect().adjusted(-2, -2, 2, 2));
}

void PageEditor::showDocumentRect(const QRectF& rect)
{
    const QRectF wanted = m_layout.toView(rect);
    const QSize size = viewport()->size();
    const QPointF at = scrollOffset();
    if (wanted.top() < at.y())
        m_vertical->setValue(int(std::floor(wanted.top())));
    else if (wanted.bottom() > at.y() + size.height())
        m_vertical->setValue(int(std::ceil(wanted.bottom())) - size.height());
    if (wanted.left() < at.x())
        m_horizontal->setValue(int(std::floor(wanted.left())));
    else if (wanted.right() > at.x() + size.width())
        m_horizontal->setValue(int(std::ceil(wanted.right())) - size.width());
}

void PageEditor::setZoom(double zoom)
{
    m_fitWidth = false;
    // The insertion point stays where it is when it is in sight; otherwise
    // the middle of the view does.
    const QRectF cursor = viewRect(cursorRect());
    const QRectF view(viewport()->rect());
    setZoomAround(zoom, view.contains(cursor.center()) ? cursor.center() : view.center());
}

void PageEditor::setZoomAround(double zoom, const QPointF& anchor)
{
    zoom = std::clamp(zoom, kMinimumZoom, kMaximumZoom);
    const QPointF fixed = mapToDocument(anchor);
    m_layout.zoom = zoom;
    // A cursor one document unit wide would fade out below 100 %.
    setCursorWidth(std::max(1, int(std::lround(1.0 / zoom))));
    relayout();
    const QPointF now = m_layout.toView(fixed);
    m_horizontal->setValue(int(std::lround(now.x() - anchor.x())));
    m_vertical->setValue(int(std::lround(now.y() - anchor.y())));
    viewport()->update();
    updateMicroFocus();
    emit zoomChanged(m_layout.zoom, m_fitWidth);
}

void PageEditor::zoomIn()
{
    setZoom(std::floor(zoom() * 10 + 1e-6) / 10 + 0.1);
}

void PageEditor::zoomOut()
{
    setZoom(std::ceil(zoom() * 10 - 1e-6) / 10 - 0.1);
}

void PageEditor::fitWidth()
{
    m_fitWidth = true;
    const QPointF centre = QRectF(viewport()->rect()).center();
    relayout(); // works the zoom out
    setZoomAround(m_layout.zoom, centre);
}

void PageEditor::resizeEvent(QResizeEvent* event)
{
    QTextEdit::resizeEvent(event);
    const bool fit = m_fitWidth;
    const double before = m_layout.zoom;
    relayout();
    if (fit && m_layout.zoom != before)
        emit zoomChanged(m_layout.zoom, true);
}

void PageEditor::scrollContentsBy(int, int)
{
    // Only QTextEdit's own (hidden) bars come here, and they stay at 0.
}

} // namespace wordprocessor
