#include "platform/keptfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

QString keptFileName(const QString& documentName, const QString& documentPath, const QString& mark)
{
    QString folder = documentPath.isEmpty() ? QString() : QFileInfo(documentPath).absolutePath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir() || !QFileInfo(folder).isWritable())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        folder = QDir::homePath();
    QString base = documentName.isEmpty() ? QStringLiteral("文档") : documentName;
    if (base.endsWith(QLatin1String(".doc"), Qt::CaseInsensitive))
        base.chop(4);
    base += mark;
    QString target = QDir(folder).filePath(base + QStringLiteral(".doc"));
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = QDir(folder).filePath(QStringLiteral("%1%2.doc").arg(base).arg(n));
    return target;
}

} // namespace platform
