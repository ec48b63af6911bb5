#include "automation/libreoffice/officewatchdog.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

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
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 4);
    posix_spawn_file_actions_adddup2(&actions, lockFd, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A session of its own: a signal to our terminal's process group (Ctrl+C,
    // a closed terminal) does not reach it, so it can still clean up.
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGHUP);
    sigaddset(&defaults, SIGINT);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const QByteArray groupText = QByteArray::number(group);
    const QByteArray profileText = QFile::encodeName(profile);
    char* argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), const_cast<char*>(kScript),
                    const_cast<char*>("lumetra-office-watchdog"), const_cast<char*>(groupText.constData()),
                    const_cast<char*>(profileText.constData()), nullptr};
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, "/bin/sh", &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
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
