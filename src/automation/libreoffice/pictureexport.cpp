// A document's pages as pictures. The pictures are Writer's own rendering of the printout: the
// document is exported to PDF as Print to a file does, and the PDF's pages
// are rasterised by poppler's pdftoppm. (Writer's graphic export filter
// draws only one page, and refuses a document of an office without windows.)

#include "automation/libreoffice/documentobjects.h"
#include "automation/libreoffice/uno.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <com/sun/star/frame/XStorable.hpp>

namespace word::libreoffice {

using css::uno::Any;

namespace {

// pdftoppm's pages (page-1.png, or page-01.png when there are ten or more),
// in page order.
QStringList rasterisedPages(const QDir& folder)
{
    QStringList pages = folder.entryList({QStringLiteral("page-*.png")}, QDir::Files);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(pages.begin(), pages.end(), numeric);
    for (QString& page : pages)
        page = folder.filePath(page);
    return pages;
}

} // namespace

QStringList OfficeDocument::exportPicture(const QString& path, const PictureOptions& options)
{
    const DocPtr document = requireOpen(*m_state, m_document);
    const QString rasteriser = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (rasteriser.isEmpty())
        throw AutomationError(QStringLiteral("用 LibreOffice 导出图片需要 pdftoppm（poppler-utils），系统中没有找到。"));
    QTemporaryDir folder;
    if (!folder.isValid())
        throw AutomationError(QStringLiteral("无法导出图片：临时文件夹不能使用（%1）。").arg(folder.errorString()));
    const QString pdf = folder.filePath(QStringLiteral("printout.pdf"));
    m_state->call([&] {
        as<css::frame::XStorable>(document->model)
            ->storeToURL(urlOf(pdf), arguments({{"FilterName", Any(toUno(QStringLiteral("writer_pdf_Export")))}}));
    });

    QProcess run;
    run.start(rasteriser, {QStringLiteral("-r"), QString::number(options.dpi), QStringLiteral("-png"), pdf,
                           folder.filePath(QStringLiteral("page"))});
    if (!run.waitForFinished(120000) || run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0)
        throw AutomationError(QStringLiteral("无法导出图片：pdftoppm 没能把 LibreOffice 的页面转为图片。%1")
                                  .arg(QString::fromLocal8Bit(run.readAllStandardError()).trimmed()));
    std::vector<QImage> pages;
    for (const QString& page : rasterisedPages(QDir(folder.path())))
        pages.push_back(QImage(page));
    if (pages.empty() || std::any_of(pages.begin(), pages.end(), [](const QImage& page) { return page.isNull(); }))
        throw AutomationError(QStringLiteral("无法导出图片：pdftoppm 没有给出页面的图片。"));

    QString problem;
    const QStringList written = pictures::write(pages, path, options, &problem);
    if (written.isEmpty())
        throw AutomationError(problem);
    return written;
}

} // namespace word::libreoffice
