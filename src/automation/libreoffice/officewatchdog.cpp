#include "automation/libreoffice/officewatchdog.h"

#include "platform/spawn.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>


namespace word::libreoffice {

namespace {

// $1 the office's process group, $2 its profile. Descriptor 4 is our pipe,
// 3 the profile's lock. The work runs in the background of a shell that
// ends at once, so that no process of ours waits to be reaped.
const char kScript[] = R"(
(
read -r word
if [ "$word" = keep ]; then
  while kill -0 "-$1" 2>/dev/null; do sleep 2; done
else
  kill -TERM "-$1" 2>/dev/null
  n=0
  while kill -0 "-$1" 2>/dev/null && [ $n -lt 30 ]; do sleep 0.1; n=$((n+1)); done
  kill -KILL "-$1" 2>/dev/null
  n=0
  while kill -0 "-$1" 2>/dev/null && [ $n -lt 30 ]; do sleep 0.1; n=$((n+1)); done
fi
rm -rf -- "$2"
) <&4 4<&- &
)";

} // namespace

OfficeWatchdog::OfficeWatchdog(pid_t group, const QString& profile, int lockFd)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return;
    const pid_t pid = platform::spawnInSession({"/bin/sh", "-c", kScript, "lumetra-office-watchdog",
                                                QByteArray::number(group), QFile::encodeName(profile)},
                                               {{fds[0], 4}, {lockFd, 3}});
    const bool failed = pid < 0;
    ::close(fds[0]);
    if (failed) {
        ::close(fds[1]);
        return;
    }
    // The shell that started the watchdog ends at once.
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    m_pipe = fds[1];
}

OfficeWatchdog::~OfficeWatchdog()
{
    if (m_pipe >= 0)
        ::close(m_pipe);
}

void OfficeWatchdog::keep()
{
    if (m_pipe < 0)
        return;
    static const char word[] = "keep\n";
    [[maybe_unused]] const ssize_t written = ::write(m_pipe, word, sizeof word - 1);
    ::close(m_pipe);
    m_pipe = -1;
}

} // namespace word::libreoffice
