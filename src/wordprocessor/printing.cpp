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

PaperCopy paperCopy(const DocumentData& document)
{
    closeProgramEdit(document);
    const PageSetupData& page = document.page;
    // The document is laid out in screen units and cut into pages of the
    // page's size; the root frame's margins repeat on every page.
    PaperCopy paper;
    paper.text.reset(document.text->clone());
    QTextDocument* copy = paper.text.get();
    const double k = unitsPerPoint();
    copy->setDocumentMargin(0); // (sets all four margins: the page's come after)
    QTextFrameFormat root = copy->rootFrame()->frameFormat();
    root.setLeftMargin(page.leftMargin * k);
    root.setRightMargin(page.rightMargin * k);
    root.setTopMargin(page.topMargin * k);
    root.setBottomMargin(page.bottomMargin * k);
    copy->rootFrame()->setFrameFormat(root);
    paper.pageSize = QSizeF(page.pageWidth * k, page.pageHeight * k);
    copy->setPageSize(paper.pageSize);
    // Rows with a height are drawn at it (already so when the window shows
    // the document; a document never shown gets it here).
    rowheights::apply(copy);
    paper.pages = std::max(1, copy->pageCount());
    return paper;
}

void paintPage(QPainter& painter, const PaperCopy& copy, int number, double scaleX, double scaleY)
{
    painter.save();
    painter.scale(scaleX, scaleY);
    const QRectF clip(0, number * copy.pageSize.height(), copy.pageSize.width(), copy.pageSize.height());
    painter.translate(0, -clip.top());
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = clip;
    context.palette.setColor(QPalette::Text, Qt::black);
    painter.setClipRect(clip);
    copy.text->documentLayout()->draw(&painter, context);
    painter.restore();
}

void printDocument(const DocumentData& document, QPrinter& printer, int copies)
{
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
    const PaperCopy copy = paperCopy(document);

    QPainter painter;
    if (!painter.begin(&printer))
        throw Error(QStringLiteral("打印机不接受打印任务，文档没有打印。"));
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const double scaleX = paper.width() / copy.pageSize.width();
    const double scaleY = paper.height() / copy.pageSize.height();
    bool first = true;
    for (int round = 0; round < rounds; ++round) {
        for (int number = 0; number < copy.pages; ++number) {
            if (!first && !printer.newPage()) {
                painter.end();
                throw Error(QStringLiteral("打印机在打印途中出错，打印没有完成。"));
            }
            first = false;
            paintPage(painter, copy, number, scaleX, scaleY);
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
