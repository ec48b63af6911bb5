#include "platform/spawn.h"

#include <cerrno>
#include <csignal>
#include <spawn.h>

extern char** environ;

namespace platform {

pid_t spawnInSession(const QList<QByteArray>& arguments, const std::vector<std::pair<int, int>>& descriptors)
{
    std::vector<QByteArray> copies(arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (QByteArray& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const auto& [ours, theirs] : descriptors)
        posix_spawn_file_actions_adddup2(&actions, ours, theirs);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int signal : {SIGPIPE, SIGHUP, SIGINT})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) {
        errno = failed;
        return -1;
    }
    return pid;
}

} // namespace platform
