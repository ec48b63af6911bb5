#include "platform/fontsetup.h"

#include <cstdlib>
#include <filesystem>

namespace platform {

void useProgramFontConfig()
{
#if defined(Q_OS_LINUX) || defined(__linux__)
    // The user's own choice of configuration wins.
    if (std::getenv("FONTCONFIG_FILE"))
        return;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::canonical("/proc/self/exe", error);
    if (error)
        return;
    const std::filesystem::path config = program.parent_path() / "fonts.conf";
    if (std::filesystem::exists(config, error))
        setenv("FONTCONFIG_FILE", config.c_str(), 0);
#endif
}

} // namespace platform
