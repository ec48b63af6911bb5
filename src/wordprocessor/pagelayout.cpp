#include "wordprocessor/pagelayout.h"

#include <algorithm>
#include <cmath>

namespace wordprocessor {

QSizeF PageLayout::contentSize() const
{
    return {sheetWidth() + 2 * kGap, pages * (sheetHeight() + kGap) + kGap};
}

QRectF PageLayout::sheet(int number) const
{
    const double left = std::max(kGap, (viewWidth - sheetWidth()) / 2);
    return {left, kGap + number * (sheetHeight() + kGap), sheetWidth(), sheetHeight()};
}

int PageLayout::pageAt(double documentY) const
{
    if (page.height() <= 0)
        return 0;
    return std::clamp(int(std::floor(documentY / page.height())), 0, std::max(0, pages - 1));
}

QPointF PageLayout::toView(const QPointF& document) const
{
    const int number = pageAt(document.y());
    const QRectF area = sheet(number);
    return {area.left() + document.x() * zoom, area.top() + (document.y() - number * page.height()) * zoom};
}

QPointF PageLayout::toDocument(const QPointF& view) const
{
    // Each sheet owns half the gap above and below it.
    const double pitch = sheetHeight() + kGap;
    const int number = std::clamp(int(std::floor((view.y() - kGap / 2) / pitch)), 0, std::max(0, pages - 1));
    const QRectF area = sheet(number);
    const double y = std::clamp((view.y() - area.top()) / zoom, 0.0, std::max(0.0, page.height() - 0.01));
    return {(view.x() - area.left()) / zoom, number * page.height() + y};
}

QRectF PageLayout::toView(const QRectF& document) const
{
    const QPointF top = toView(document.topLeft());
    // The bottom edge of a rectangle that ends exactly on a page boundary
    // still belongs to the page above.
    QPointF bottom = toView(QPointF(document.right(), std::max(document.top(), document.bottom() - 0.01)));
    bottom.ry() += 0.01 * zoom;
    return QRectF(top, bottom).normalized();
}

double PageLayout::zoomToFit(double width) const
{
    return page.width() > 0 ? (width - 2 * kGap) / page.width() : 1.0;
}

} // namespace wordprocessor
