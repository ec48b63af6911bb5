// The document window's file commands: save, export to PDF, print preview,
// print.

#include "wordprocessor/documentwindow.h"

#include "wordprocessor/error.h"
#include "wordprocessor/docfiles.h"
#include "wordprocessor/document.h"
#include "wordprocessor/pageeditor.h"
#include "wordprocessor/printing.h"
#include "common/dialogue.h"
#include "common/widgets.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>

namespace wordprocessor {

void DocumentWindow::save(bool saveAs)
{
    const auto document = m_shown.lock();
    if (!document)
        return;
    try {
        if (saveDocument(*document, this, saveAs))
            statusBar()->showMessage(QStringLiteral("已保存到“%1”。").arg(QDir::toNativeSeparators(document->path)), 5000);
    } catch (const Error& error) {
        dialogue::warn(this, error.message());
    }
    refresh();
}

void DocumentWindow::exportPdf()
{
    const auto document = m_shown.lock();
    if (!document)
        return;
    QString folder = document->path.isEmpty() ? QDir::homePath() : QFileInfo(document->path).absolutePath();
    QString name = proposedFileName(*document);
    name = name.left(name.lastIndexOf(u'.')) + QStringLiteral(".pdf");
    QString target = dialogue::current().saveFile(
        this, {QStringLiteral("导出为 PDF"), QStringLiteral("PDF 文件(*.pdf)|*.pdf"), QStringLiteral("*.pdf"), folder,
               QDir(folder).filePath(name)});
    if (target.isEmpty())
        return;
    if (!target.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        target += QLatin1String(".pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(target);
    try {
        printDocument(*document, printer, 1);
        statusBar()->showMessage(QStringLiteral("已导出到“%1”。").arg(QDir::toNativeSeparators(target)), 5000);
    } catch (const Error& error) {
        dialogue::warn(this, error.message());
    }
}

void DocumentWindow::printPreview()
{
    const auto document = m_shown.lock();
    if (!document)
        return;
    QPrinter printer(QPrinter::HighResolution);
    const widgets::FocusReturn focusBack(this);
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("documentPreview"));
    preview.setWindowTitle(QStringLiteral("打印预览"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [document](QPrinter* target) {
        try {
            printDocument(*document, *target, 1);
        } catch (const Error&) {
            // The preview shows what could be drawn.
        }
    });
    preview.exec();
}

void DocumentWindow::print()
{
    const auto document = m_shown.lock();
    if (!document)
        return;
    QPrinter printer(QPrinter::HighResolution);
    const widgets::FocusReturn focusBack(this);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("打印"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        printDocument(*document, printer, printer.copyCount());
    } catch (const Error& error) {
        dialogue::warn(this, error.message());
    }
}

} // namespace wordprocessor
