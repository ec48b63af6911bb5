#pragma once
// Where the pages of a document stand in the page view: one white sheet per
// printed page, one under the other with a grey gap around them, each
// scaled by the zoom and centred across the view when narrower than it.
// Document coordinates are those of the text layout, whose pages are cut
// every page height (as printing cuts them); view coordinates are those of
// the whole scrolled area, before scrolling.

#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace wordprocessor {

struct PageLayout {
    QSizeF page{793.7, 1122.5}; // a page in document units
    int pages = 1;
    double zoom = 1.0;
    double viewWidth = 0; // the visible width, in view pixels
    static constexpr double kGap = 16; // around and between sheets, in view pixels

    double sheetWidth() const { return page.width() * zoom; }
    double sheetHeight() const { return page.height() * zoom; }
    // The whole area the sheets take, gaps included.
    QSizeF contentSize() const;
    QRectF sheet(int number) const;
    // The page a document y lies on (the last for one past the end).
    int pageAt(double documentY) const;
    QPointF toView(const QPointF& document) const;
    // A point between two sheets goes to the nearer one; a point beside a
    // sheet to its edge.
    QPointF toDocument(const QPointF& view) const;
    // The view area a document rectangle covers (every sheet between its
    // top and bottom when it crosses a page boundary).
    QRectF toView(const QRectF& document) const;
    // The zoom at which a sheet fills `width` view pixels, gaps included.
    double zoomToFit(double width) const;
};

} // namespace wordprocessor
