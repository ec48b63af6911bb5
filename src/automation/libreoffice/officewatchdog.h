#pragma once
// What makes sure a LibreOffice we started does not outlive us by
// accident: a small shell process, in a session of its own, that reads a
// pipe only we write to. When the pipe closes without a word (we ended,
// however: normally, killed, crashed) it ends the office's process group
// and removes its private profile. Told "keep", it leaves the office to the
// user and removes the profile once the office has ended by itself.
//
// The watchdog also holds the profile's lock (see OfficeProfile): a profile
// whose lock nobody holds belongs to no office and can go.

#include <QString>
#include <sys/types.h>

namespace word::libreoffice {

class OfficeWatchdog {
public:
    // Starts watching the process group `group`; `lockFd` is the profile's
    // locked file, shared with the watchdog. Raises nothing: a watchdog that
    // cannot start leaves the office to be ended by us alone (`started()`).
    OfficeWatchdog(pid_t group, const QString& profile, int lockFd);
    // Closes the pipe: the watchdog ends the office, if it still runs, and
    // removes the profile.
    ~OfficeWatchdog();
    OfficeWatchdog(const OfficeWatchdog&) = delete;
    OfficeWatchdog& operator=(const OfficeWatchdog&) = delete;

    bool started() const { return m_pipe >= 0; }
    // The office is the user's now: it is not ended with us.
    void keep();

private:
    int m_pipe = -1;
};

} // namespace word::libreoffice
