#include "wordprocessor/document.h"


#include <QGuiApplication>
#include <QScreen>
#include <QTextFrame>
#include <QTimer>
#include <utility>

namespace wordprocessor {

double unitsPerPoint()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return dpi / 72.0;
}

QTextTableFormat plainTableFormat()
{
    QTextTableFormat format;
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    // Half-point lines as a word processor's plain table has; never thinner
    // than one screen pixel, so that they show.
    format.setBorder(std::max(1.0, 0.5 * unitsPerPoint()));
    format.setBorderBrush(Qt::black);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(1.5 * unitsPerPoint());
    return format;
}

void setWordCellMargins(QTextTableCell& cell)
{
    QTextTableCellFormat format = cell.format().toTableCellFormat();
    format.setTopPadding(0);
    format.setBottomPadding(0);
    cell.setFormat(format);
}

QFont defaultDocumentFont()
{
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(10.5);
    return font;
}

void openProgramEdit(DocumentData& document)
{
    if (document.programEdit || !document.text)
        return;
    document.programEdit.emplace(document.text.get());
    document.programEdit->beginEditBlock();
    // Ends with the turn; the document is the timer's context, so a
    // document dropped before then takes the timer with it.
    QTimer::singleShot(0, document.text.get(), [data = &document] { closeProgramEdit(*data); });
}

void closeProgramEdit(const DocumentData& document)
{
    if (!document.programEdit)
        return;
    QTextCursor cursor = *document.programEdit;
    document.programEdit.reset();
    cursor.endEditBlock();
}

void applyPage(DocumentData& document)
{
    const double k = unitsPerPoint();
    const PageSetupData& page = document.page;
    document.text->setDocumentMargin(0); // (sets all four margins: the page's come after)
    QTextFrameFormat root = document.text->rootFrame()->frameFormat();
    root.setLeftMargin(page.leftMargin * k);
    root.setRightMargin(page.rightMargin * k);
    root.setTopMargin(page.topMargin * k);
    root.setBottomMargin(page.bottomMargin * k);
    document.text->rootFrame()->setFrameFormat(root);
    document.text->setTextWidth(page.pageWidth * k);
}

std::shared_ptr<DocumentData> newDocument(const QString& name)
{
    auto data = std::make_shared<DocumentData>();
    data->text = std::make_unique<QTextDocument>();
    data->text->setDefaultFont(defaultDocumentFont());
    data->name = name;
    data->cursor = QTextCursor(data->text.get());
    data->typingFormat.setFont(defaultDocumentFont());
    applyPage(*data);
    data->text->setModified(false);
    return data;
}

} // namespace wordprocessor
