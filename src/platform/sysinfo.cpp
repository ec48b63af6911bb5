#include "platform/sysinfo.h"

#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <QFileInfo>
#include <QSettings>
#endif

namespace platform {

const QStringList& systemInformationToolNames()
{
    // Desktop tools that show the machine's hardware, system and load, the
    // common desktops' own ones first.
    static const QStringList names{QStringLiteral("gnome-system-monitor"), QStringLiteral("hardinfo"),
                                   QStringLiteral("kinfocenter"),          QStringLiteral("mate-system-monitor"),
                                   QStringLiteral("xfce4-taskmanager"),    QStringLiteral("lshw-gtk")};
    return names;
}

#ifdef Q_OS_WIN

namespace {

// MSINFO32's place as Office records it. The first key names the program
// itself; only when it has no PATH value is the folder in the second key
// tried, and then only if MSINFO32.EXE is really there.
QString msinfoFromRegistry()
{
    const QSettings msinfo(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                           QSettings::NativeFormat);
    if (msinfo.contains(QStringLiteral("PATH")))
        return msinfo.value(QStringLiteral("PATH")).toString();

    const QSettings location(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location"),
                             QSettings::NativeFormat);
    const QString folder = location.value(QStringLiteral("MSINFO")).toString();
    if (folder.isEmpty())
        return QString();
    const QString tool = folder + QStringLiteral("\\MSINFO32.EXE");
    return QFileInfo::exists(tool) ? tool : QString();
}

} // namespace

QString systemInformationTool()
{
    return msinfoFromRegistry();
}

#else

QString systemInformationTool()
{
    for (const QString& name : systemInformationToolNames()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

#endif

} // namespace platform
