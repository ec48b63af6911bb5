#pragma once
// A timetable shared as pictures (parents and pupils get it in a chat group
// more often than as a document): the user's choices, the files one picture
// per page goes to, and the cropping. Each word processor renders its own
// pages; this writes them.

#include <QImage>
#include <QList>
#include <QStringList>
#include <vector>

namespace pictures {

struct Options {
    int dpi = 200;          // sharp on a phone; 150 and 300 are offered too
    bool wholePage = false; // the whole page instead of its content
};

// The resolutions offered, in dots per inch.
const QList<int>& resolutions();

// What the save dialog offers: PNG first, then JPEG.
QString fileFilter();

// A path as chosen in the save dialog: .png, .jpg and .jpeg are kept, any
// other name gets .png.
QString withPictureSuffix(const QString& path);

// The files `pages` pictures saved as `path` go to: the path itself for one
// page, otherwise numbered before the suffix (课程表-1.png, 课程表-2.png …).
QStringList fileNames(const QString& path, int pages);

// The page cut to what is drawn on it, with a margin of 5 mm that stays
// inside the page. A blank page is kept whole.
QImage cropToContent(const QImage& page, int dpi);

// Writes rendered pages (page-sized, at options.dpi) as pictures on white,
// cropped unless whole pages are asked for; the format follows the suffix.
// Each file is written beside its place and then renamed into it. Returns
// the files written; on failure, says why in `problem`, and no file of this
// call is left behind.
QStringList write(const std::vector<QImage>& pages, const QString& path, const Options& options, QString* problem);

} // namespace pictures
