#include "wordprocessor/pagepictures.h"

#include "common/dialogue.h"
#include "common/picturedialog.h"
#include "wordprocessor/docfiles.h"
#include "wordprocessor/error.h"
#include "wordprocessor/printing.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <cmath>

namespace wordprocessor {

std::vector<QImage> renderPages(const DocumentData& document, int dpi)
{
    const PaperCopy copy = paperCopy(document);
    // The page in pixels, as a rasteriser of the printout sizes it.
    const QSize size(int(std::ceil(document.page.pageWidth * dpi / 72.0 - 0.01)),
                     int(std::ceil(document.page.pageHeight * dpi / 72.0 - 0.01)));
    const double scaleX = document.page.pageWidth * dpi / 72.0 / copy.pageSize.width();
    const double scaleY = document.page.pageHeight * dpi / 72.0 / copy.pageSize.height();
    std::vector<QImage> pages;
    for (int number = 0; number < copy.pages; ++number) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        paintPage(painter, copy, number, scaleX, scaleY);
        painter.end();
        pages.push_back(std::move(image));
    }
    return pages;
}

QStringList exportPictures(const DocumentData& document, const QString& path, const pictures::Options& options)
{
    QString problem;
    const QStringList written = pictures::write(renderPages(document, options.dpi), path, options, &problem);
    if (written.isEmpty())
        throw Error(problem);
    return written;
}

void askAndExportPictures(QWidget* window, const std::shared_ptr<DocumentData>& document)
{
    const QString folder = document->path.isEmpty() ? QDir::homePath() : QFileInfo(document->path).absolutePath();
    const QString name = QFileInfo(proposedFileName(*document)).completeBaseName() + QStringLiteral(".png");
    std::weak_ptr<DocumentData> kept = document;
    pictures::ask(window, QDir(folder).filePath(name), [window, kept](const QString& path, const pictures::Options& options) {
        const auto shown = kept.lock();
        if (!shown || !shown->text)
            return;
        try {
            const QStringList files = exportPictures(*shown, path, options);
            dialogue::inform(window, QStringLiteral("已导出图片：\n%1").arg(QDir::toNativeSeparators(files.join(u'\n'))));
        } catch (const Error& error) {
            dialogue::warn(window, error.message());
        }
    });
}

} // namespace wordprocessor
