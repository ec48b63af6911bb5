#include "platform/fontsetup.h"

#include "platform/programfolder.h"

#include <QFile>
#include <QFileInfo>
#include <cstdlib>
#include <filesystem>

namespace platform {

QString programFontConfig(const QString& programFolder)
{
    QString config = dataFolderOf(programFolder);
    if (config.isEmpty())
        return {};
    config += QStringLiteral("/fonts.conf");
    return QFileInfo(config).isFile() ? config : QString();
}

void useProgramFontConfig()
{
#if defined(Q_OS_LINUX) || defined(__linux__)
    // The user's own choice of configuration wins.
    if (std::getenv("FONTCONFIG_FILE"))
        return;
    // No QCoreApplication yet to ask for the program's folder.
    std::error_code error;
    const std::filesystem::path program = std::filesystem::canonical("/proc/self/exe", error);
    if (error)
        return;
    const QString config = programFontConfig(QFile::decodeName(program.parent_path().c_str()));
    if (!config.isEmpty())
        setenv("FONTCONFIG_FILE", QFile::encodeName(config).constData(), 0);
#endif
}

} // namespace platform
