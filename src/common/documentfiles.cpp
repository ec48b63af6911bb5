#include "common/documentfiles.h"

#include "common/dialogue.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace documentfiles {

QString proposedFileName(const QString& title, const QString& name)
{
    QString result = title.trimmed();
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar& c : result)
        if (forbidden.contains(c) || c.category() == QChar::Other_Control)
            c = u'_';
    if (result.isEmpty())
        result = name;
    if (result.endsWith(QLatin1String(".doc"), Qt::CaseInsensitive))
        return result;
    return result + QLatin1String(".doc");
}

bool isOpenDocumentName(const QString& path)
{
    return path.endsWith(QLatin1String(".odt"), Qt::CaseInsensitive);
}

QString askSaveFileName(QWidget* parent, const QString& currentPath, const QString& proposedName)
{
    QString folder = QFileInfo(currentPath).absolutePath();
    if (currentPath.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    QString target = dialogue::current().saveFile(
        parent, {QStringLiteral("另存为"),
                 QStringLiteral("Word 97-2003 文档(*.doc)|*.doc|OpenDocument 文本(*.odt)|*.odt"),
                 QStringLiteral("*.doc"), folder, QDir(folder).filePath(proposedName)});
    if (!target.isEmpty() && !target.endsWith(QLatin1String(".doc"), Qt::CaseInsensitive)
        && !isOpenDocumentName(target))
        target += QLatin1String(".doc");
    return target;
}

bool sameFile(const QString& a, const QString& b)
{
    const QFileInfo first(a), second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath());
}

QMessageBox::StandardButton askToSaveChanges(QWidget* parent, const QString& documentName, const QString& title)
{
    return dialogue::show(parent, {QStringLiteral("是否保存对“%1”的更改？").arg(documentName), title,
                                   QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Warning,
                                   QMessageBox::Yes});
}

} // namespace documentfiles
