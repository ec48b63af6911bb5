#include "wordprocessor/printing.h"

#include "wordprocessor/error.h"
#include "wordprocessor/rowheights.h"
#include "platform/pdftextmap.h"

#include <QAbstractTextDocumentLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QTextFrame>

namespace wordprocessor {

void printDocument(const DocumentData& document, QPrinter& printer, int copies)
{
    closeProgramEdit(document);
    const PageSetupData& page = document.page;
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QSizeF(page.pageWidth, page.pageHeight), QPageSize::Point, QString(),
                                  QPageSize::ExactMatch));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    printer.setDocName(document.name);
    // A printer that makes the copies itself is asked for them; otherwise
    // the pages are sent once per copy.
    printer.setCopyCount(copies);
    const int rounds = printer.supportsMultipleCopies() ? 1 : copies;

    // The document is laid out in screen units and cut into pages of the
    // page's size; the root frame's margins repeat on every page.
    std::unique_ptr<QTextDocument> copy(document.text->clone());
    const double k = unitsPerPoint();
    copy->setDocumentMargin(0); // (sets all four margins: the page's come after)
    QTextFrameFormat root = copy->rootFrame()->frameFormat();
    root.setLeftMargin(page.leftMargin * k);
    root.setRightMargin(page.rightMargin * k);
    root.setTopMargin(page.topMargin * k);
    root.setBottomMargin(page.bottomMargin * k);
    copy->rootFrame()->setFrameFormat(root);
    const QSizeF pageSize(page.pageWidth * k, page.pageHeight * k);
    copy->setPageSize(pageSize);
    // Rows with a height are drawn at it (already so when the window shows
    // the document; a document never shown gets it here).
    rowheights::apply(copy.get());
    const int pages = std::max(1, copy->pageCount());

    QPainter painter;
    if (!painter.begin(&printer))
        throw Error(QStringLiteral("打印机不接受打印任务，文档没有打印。"));
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const double scaleX = paper.width() / pageSize.width();
    const double scaleY = paper.height() / pageSize.height();
    bool first = true;
    for (int round = 0; round < rounds; ++round) {
        for (int number = 0; number < pages; ++number) {
            if (!first && !printer.newPage()) {
                painter.end();
                throw Error(QStringLiteral("打印机在打印途中出错，打印没有完成。"));
            }
            first = false;
            painter.save();
            painter.scale(scaleX, scaleY);
            const QRectF clip(0, number * pageSize.height(), pageSize.width(), pageSize.height());
            painter.translate(0, -clip.top());
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = clip;
            context.palette.setColor(QPalette::Text, Qt::black);
            painter.setClipRect(clip);
            copy->documentLayout()->draw(&painter, context);
            painter.restore();
        }
    }
    if (!painter.end())
        throw Error(QStringLiteral("打印机在打印途中出错，打印没有完成。"));
    // A printout to a PDF file gets text that can be searched as typed. The
    // drawing is whole either way, so a file that cannot be mended stays.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        platform::mendTextMapsInFile(printer.outputFileName());
}

} // namespace wordprocessor
