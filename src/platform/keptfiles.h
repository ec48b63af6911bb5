#pragma once
// Where a document's work goes when it is kept apart from its own file (a
// recovered copy, unsaved work of a word processor that cannot go on):
// beside that file when its folder can be written, otherwise in the user's
// documents folder (or home), named after the document with a mark added
// ("课程表（恢复）.doc"), under a name no file has yet.

#include <QString>

namespace platform {

QString keptFileName(const QString& documentName, const QString& documentPath, const QString& mark);

} // namespace platform
