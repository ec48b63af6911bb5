#pragma once
// Starting a program in a session of its own: its own process group (so
// that ending the group ends everything it started), out of reach of our
// terminal's signals (Ctrl+C, a closed terminal), with the signal settings
// a program starts with rather than ours (no blocked signals, SIGPIPE and
// the terminal's signals at their defaults).

#include <QByteArray>
#include <QList>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace platform {

// Runs `arguments[0]` with those arguments and our environment; `descriptors`
// are (ours, theirs) pairs of file descriptors the program gets. The
// program's process id, or -1 with errno set.
pid_t spawnInSession(const QList<QByteArray>& arguments, const std::vector<std::pair<int, int>>& descriptors = {});

} // namespace platform
