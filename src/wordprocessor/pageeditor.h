#pragma once
// The text area of the document window, shown as a word processor's page
// view: every printed page a white sheet of the page's size on grey, the
// text laid out at the page's text width and cut into pages where printing
// cuts it, at a zoom from 50 % to 200 %.
//
// The zoom is a view transform only: the document's fonts and layout stay
// as they are saved and printed. QTextEdit does the editing (keys, input
// methods, undo, the clipboard) on document coordinates; this class paints
// the layout scaled onto the sheets and hands QTextEdit the mouse in
// document coordinates. QTextEdit's own scroll bars stay hidden at 0, so
// that its document coordinates are the layout's; the view scrolls with
// scroll bars of its own.
//
// What is pasted from elsewhere keeps only its text, in the format at the
// insertion point: a .doc file of ours could not keep pictures, links or
// most of another program's formatting, so the editor never holds them.

#include "wordprocessor/pagelayout.h"

#include <QBasicTimer>
#include <QPointer>
#include <QTextEdit>

class QScrollBar;

namespace wordprocessor {

class PageEditor : public QTextEdit {
    Q_OBJECT
public:
    static constexpr double kMinimumZoom = 0.5;
    static constexpr double kMaximumZoom = 2.0;

    explicit PageEditor(QWidget* parent = nullptr);

    // Shows `document` (or nothing) cut into pages of `page` document units.
    void showDocument(QTextDocument* document, const QSizeF& page);
    void setPageSize(const QSizeF& page);

    double zoom() const { return m_layout.zoom; }
    bool fitsWidth() const { return m_fitWidth; }
    // Sets the zoom (bounded to 50-200 %), keeping the insertion point
    // where it is on the screen when it is in sight, or the document point
    // under `anchor` (a viewport point).
    void setZoom(double zoom);
    void setZoomAround(double zoom, const QPointF& anchor);
    // Ten per cent steps.
    void zoomIn();
    void zoomOut();
    // Keeps the sheet as wide as the view, also when the view is resized.
    void fitWidth();

    // The pages shown and where they are: sheets and document rectangles in
    // viewport coordinates.
    int pageCount() const { return m_layout.pages; }
    const PageLayout& pageLayout() const { return m_layout; }
    QRectF sheetRect(int page) const;
    QRectF viewRect(const QRectF& documentRect) const;
    QPointF documentPoint(const QPointF& viewportPoint) const;
    QScrollBar* pageScrollBar(Qt::Orientation orientation) const;

signals:
    // Rich content was pasted as its text alone.
    void pastedPlainText();
    void zoomChanged(double zoom, bool fitWidth);

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void timerEvent(QTimerEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private slots:
    // QTextEdit asks for a document rectangle (the cursor's) to be shown.
    void showDocumentRect(const QRectF& rect);

private:
    // The document laid out in pages as printing lays it out.
    void paginate();
    // Page count, scroll bar ranges and their places, after any change of
    // the document's size, the zoom or the view's size.
    void relayout();
    void placeScrollBars();
    QPointF scrollOffset() const;
    QPointF mapToDocument(const QPointF& viewportPoint) const;
    // Tab and Shift+Tab in a table: to the next or previous cell with its
    // text selected; Tab in the last cell adds a row. False outside tables.
    bool moveAcrossCells(bool backward);
    void updateDocumentRect(const QRectF& rect);
    void restartBlink();
    void autoScroll();
    // Sends QTextEdit a mouse event at the document point under the mouse.
    template <typename Handler>
    void sendMapped(QMouseEvent* event, Handler handler);

    PageLayout m_layout;
    bool m_fitWidth = false;
    bool m_placing = false;
    QScrollBar* m_vertical;
    QScrollBar* m_horizontal;
    QPointer<QTextDocument> m_document;
    QList<QMetaObject::Connection> m_documentConnections;
    QBasicTimer m_blink;
    bool m_cursorShown = true;
    QBasicTimer m_autoScroll;
};

} // namespace wordprocessor
