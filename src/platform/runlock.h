#pragma once
// Tells runs of the program apart. A process number alone does not: a
// later run is often given the number of an earlier one (in a container
// the program may well be process 1 after every start). So each run has an
// id that does not repeat, and holds an flock on a file named after it for
// as long as it lives. The system lets go of the lock however the run ends,
// a crash and a kill included: "its lock is held" means "it still runs".

#include <QString>

namespace platform {

// This run's id, "<process number>.<16 random hex digits>". Tests set
// LUMETRA_RUN_PID to give a run the process number of another.
QString runId();

// The run id a file of a run is named after ("<run id>.lock",
// "<run id>-<rest>"), or an empty text when its name starts with none.
QString runIdOfName(const QString& fileName);

// This run's lock file in `folder`, whether or not it is held.
QString runLockFile(const QString& folder);

// Holds this run's lock, the file "<run id>.lock" in `folder`: taken when
// first asked for that folder, and again when the file has gone since (the
// folder removed and made anew). Returns the lock file's path, or an empty
// text with the reason in `problem` when the lock cannot be held.
QString holdRunLock(const QString& folder, QString* problem = nullptr);

// Whether the run whose lock file is `path` still runs: the file is there
// and locked. A lock file this user may not open counts as held: what
// cannot be checked is not taken for ended.
bool runLockHeld(const QString& path);

// Removes the lock file `path` if its run has ended. Returns whether it did.
bool removeEndedRunLock(const QString& path);

} // namespace platform
