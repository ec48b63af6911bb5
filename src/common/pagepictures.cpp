#include "common/pagepictures.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

namespace pictures {

namespace {

bool isJpeg(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg");
}

// Ink: anything clearly darker than the paper (anti-aliasing at the edge of
// a line counts; the faint noise of a JPEG-like source would not).
bool inked(QRgb pixel)
{
    return qRed(pixel) < 240 || qGreen(pixel) < 240 || qBlue(pixel) < 240;
}

} // namespace

const QList<int>& resolutions()
{
    static const QList<int> choices{150, 200, 300};
    return choices;
}

QString fileFilter()
{
    return QStringLiteral("PNG 图片(*.png)|*.png|JPEG 图片(*.jpg;*.jpeg)|*.jpg;*.jpeg");
}

QString withPictureSuffix(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png") || isJpeg(path))
        return path;
    return path + QStringLiteral(".png");
}

QStringList fileNames(const QString& path, int pages)
{
    if (pages <= 1)
        return {path};
    const QFileInfo file(path);
    const QString stem = file.completeSuffix().isEmpty() ? file.fileName() : file.completeBaseName();
    const QString suffix = file.completeSuffix().isEmpty() ? QString() : u'.' + file.suffix();
    QStringList names;
    for (int page = 1; page <= pages; ++page)
        names << file.dir().filePath(QStringLiteral("%1-%2%3").arg(stem).arg(page).arg(suffix));
    return names;
}

QImage cropToContent(const QImage& page, int dpi)
{
    const QImage image = page.convertToFormat(QImage::Format_RGB32);
    int top = image.height(), bottom = -1, left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (!inked(line[x]))
                continue;
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    if (bottom < 0)
        return page;
    const int margin = int(dpi * 5 / 25.4 + 0.5);
    const QRect content = QRect(QPoint(left, top), QPoint(right, bottom)).adjusted(-margin, -margin, margin, margin);
    return page.copy(content.intersected(page.rect()));
}

QStringList write(const std::vector<QImage>& pages, const QString& path, const Options& options, QString* problem)
{
    const QStringList names = fileNames(path, int(pages.size()));
    const QByteArray format = isJpeg(path) ? QByteArrayLiteral("JPEG") : QByteArrayLiteral("PNG");
    QStringList written;
    for (size_t i = 0; i < pages.size(); ++i) {
        // Paper is white, whatever the renderer left transparent.
        QImage picture(pages[i].size(), QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter(&picture).drawImage(0, 0, pages[i]);
        if (!options.wholePage)
            picture = cropToContent(picture, options.dpi);
        const int dotsPerMetre = int(options.dpi / 0.0254 + 0.5);
        picture.setDotsPerMeterX(dotsPerMetre);
        picture.setDotsPerMeterY(dotsPerMetre);

        const QString& name = names[int(i)];
        QSaveFile file(name);
        QImageWriter writer(&file, format);
        if (format == "JPEG")
            writer.setQuality(92);
        if (!file.open(QIODevice::WriteOnly) || !writer.write(picture) || !file.commit()) {
            const QString reason = file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
            *problem = QStringLiteral("无法保存图片“%1”：%2").arg(QDir::toNativeSeparators(name), reason);
            for (const QString& done : written)
                QFile::remove(done);
            return {};
        }
        written << name;
    }
    return written;
}

} // namespace pictures
