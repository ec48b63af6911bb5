#include "automation/savedialog.h"

#include "automation/automationerror.h"
#include "common/dialogue.h"
#include "common/numberreading.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace word {

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

void checkTableSize(int rows, int columns)
{
    if (rows < 1 || rows > 32767 || columns < 1 || columns > 63)
        throw AutomationError(
            QStringLiteral("无法插入 %1 行 %2 列的表格：行数须在 1 到 32767 之间，列数须在 1 到 63 之间。")
                .arg(rows)
                .arg(columns));
}

int printCopies(const QString& typed)
{
    const double value = numbers::leading(typed);
    if (value != numbers::roundHalfEven(value) || value < 1 || value > 999)
        throw AutomationError(QStringLiteral("打印份数“%1”无效：份数必须是 1 到 999 之间的整数。").arg(typed));
    return int(value);
}

} // namespace word
