#include "common/documentfiles.h"

#include "common/dialogue.h"
#include "platform/documentlock.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace documentfiles {

QString proposedFileName(const QString& title, const QString& name, docfile::Format format)
{
    QString result = title.trimmed();
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar& c : result)
        if (forbidden.contains(c) || c.category() == QChar::Other_Control)
            c = u'_';
    if (result.isEmpty())
        result = name;
    if (const auto named = formatOfName(result); named == format)
        return result;
    else if (named)
        result = QFileInfo(result).completeBaseName();
    return result + QLatin1String(docfile::extensionOf(format));
}

std::optional<docfile::Format> formatOfName(const QString& path)
{
    return docfile::formatForExtension(QFile::encodeName(path).toStdString());
}

QString askSaveFileName(QWidget* parent, const QString& currentPath, const QString& proposedName)
{
    QString folder = QFileInfo(currentPath).absolutePath();
    if (currentPath.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    // The proposed name's format is the one offered first.
    const docfile::Format proposed = formatOfName(proposedName).value_or(docfile::Format::Word97);
    QString target = dialogue::current().saveFile(
        parent, {QStringLiteral("另存为"),
                 QStringLiteral("Word 97-2003 文档(*.doc)|*.doc|Word 文档(*.docx)|*.docx|OpenDocument 文本(*.odt)|*.odt"),
                 QStringLiteral("*") + QLatin1String(docfile::extensionOf(proposed)), folder,
                 QDir(folder).filePath(proposedName)});
    if (!target.isEmpty() && !formatOfName(target))
        target += QLatin1String(docfile::extensionOf(proposed));
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

namespace {

bool askYesNo(QWidget* parent, const QString& text, const QString& title)
{
    return dialogue::show(parent, {text, title, QMessageBox::Yes | QMessageBox::No, QMessageBox::Warning,
                                   QMessageBox::No})
           == QMessageBox::Yes;
}

} // namespace

bool askToOpenLocked(QWidget* parent, const QString& path, const platform::DocumentLock& lock, const QString& title)
{
    return askYesNo(parent,
                    QStringLiteral("文件“%1”自 %2 起正被%3使用。两处都修改并保存时，后保存的会覆盖先保存的。"
                                   "\n\n仍要打开吗？")
                        .arg(QDir::toNativeSeparators(path), lock.sinceText(), lock.holder()),
                    title);
}

bool askToSaveOverLocked(QWidget* parent, const QString& path, const platform::DocumentLock& lock,
                         const QString& title)
{
    return askYesNo(parent,
                    QStringLiteral("文件“%1”自 %2 起正被%3使用。保存将覆盖这个文件，对方的修改可能丢失。"
                                   "\n\n仍要保存吗？")
                        .arg(QDir::toNativeSeparators(path), lock.sinceText(), lock.holder()),
                    title);
}

bool askToSaveOverChanged(QWidget* parent, const QString& path, const QString& title)
{
    return askYesNo(parent,
                    QStringLiteral("文件“%1”在打开或上次保存之后已经被其他程序修改过。保存将覆盖那些修改。"
                                   "\n\n仍要保存吗？")
                        .arg(QDir::toNativeSeparators(path)),
                    title);
}

void warnAboutRecoveryCopies(const QString& message)
{
    // Not in the middle of writing a copy (which may be inside an edit),
    // nor on another thread: the warning waits for the event loop.
    QMetaObject::invokeMethod(qApp, [message] { dialogue::warn(QApplication::activeWindow(), message); },
                              Qt::QueuedConnection);
}

} // namespace documentfiles
