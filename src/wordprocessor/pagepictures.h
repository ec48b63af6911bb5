#pragma once
// The document's pages as pictures, drawn as they print: the same copy cut
// into pages, the same painting, at the picture's resolution.

#include "common/pagepictures.h"
#include "wordprocessor/document.h"

class QWidget;

namespace wordprocessor {

// Each page as a white page-sized image at `dpi`.
std::vector<QImage> renderPages(const DocumentData& document, int dpi);

// Renders and writes the pictures (see pictures::write); returns the files
// written. Raises Error when one cannot be written.
QStringList exportPictures(const DocumentData& document, const QString& path, const pictures::Options& options);

// The window's 导出图片 command: the choices, the file, then the pictures;
// a failure is told in a box over `window`.
void askAndExportPictures(QWidget* window, const std::shared_ptr<DocumentData>& document);

} // namespace wordprocessor
