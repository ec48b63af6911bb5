#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace platform {

namespace {
QString& overrideFolder()
{
    static QString folder;
    return folder;
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

QString inProgramFolder(const QString& name)
{
    QString path = programFolder();
    if (!path.endsWith(QDir::separator()) && !path.endsWith(u'/'))
        path += QDir::separator();
    return path + name;
}

} // namespace platform
