#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

// The installed data folder as seen from the installed program's folder;
// CMake passes the one worked out from the install directories.
#ifndef LUMETRA_DATA_FROM_BIN
#define LUMETRA_DATA_FROM_BIN "../share/lumetra"
#endif

namespace platform {

namespace {
QString& overrideFolder()
{
    static QString folder;
    return folder;
}

QString joined(QString folder, const QString& name)
{
    if (!folder.endsWith(QDir::separator()) && !folder.endsWith(u'/'))
        folder += QDir::separator();
    return folder + name;
}

bool holdsProgramFiles(const QString& folder)
{
    return QFileInfo(joined(folder, QStringLiteral("zvn.list"))).isFile()
        || QFileInfo(joined(folder, QStringLiteral("help"))).isDir();
}
} // namespace

QString programFolder()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

void setProgramFolder(const QString& folder)
{
    overrideFolder() = folder;
}

QString dataFolderOf(const QString& programFolder)
{
    if (programFolder.isEmpty() || holdsProgramFiles(programFolder))
        return programFolder;
    const QString installed =
        QDir::cleanPath(QDir::fromNativeSeparators(joined(programFolder, QStringLiteral(LUMETRA_DATA_FROM_BIN))));
    if (QFileInfo(installed).isDir())
        return QDir::toNativeSeparators(installed);
    return programFolder;
}

QString timetableFolder()
{
    if (dataFolder() == programFolder())
        return programFolder();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString dataFolder()
{
    return dataFolderOf(programFolder());
}

QString inDataFolder(const QString& name)
{
    return joined(dataFolder(), name);
}

QString inProgramFolder(const QString& name)
{
    return inDataFolder(name);
}

} // namespace platform
