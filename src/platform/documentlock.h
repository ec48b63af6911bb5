#pragma once
// Lock files that tell other programs a document is open for editing, in
// LibreOffice's form, so that LibreOffice and this program each see the
// other's: ".~lock.NAME#" beside the document, holding one entry
//     author,login,host,DD.MM.YYYY HH:MM,url;
// (a ',' ';' or '\' inside a field escaped with '\'; the time is local).
// A lock is a notice only: a program that ignores it is not stopped.
//
// Ours name the user's full name (or login), login and host, and, as the
// url, this run's lock file (see runlock.h). That tells a lock a crash of
// ours left behind from one of a program still running: it is stale when
// it names this user and host and its run's lock is no longer held, and is
// then taken over without asking. A lock LibreOffice wrote is never taken
// for stale, even one of this user: a LibreOffice may well have the file
// open, and nothing shows whether it has (LibreOffice itself asks about a
// lock of its own user from elsewhere, too).
//
// Beside the locks, what tells whether a file has changed since it was read
// or written: its identity.

#include <QDateTime>
#include <QString>
#include <optional>

namespace platform {

// The private profiles of the LibreOffice instances this program starts:
// folders so named in the temporary folder, each holding a lock file that
// is held while its office may run. A lock such an office wrote names its
// profile as the url, and is stale once nobody holds the profile's lock.
inline constexpr char kOfficeProfilePrefix[] = "lumetra-libreoffice-";
inline constexpr char kOfficeProfileLock[] = "lumetra.lock";

struct DocumentLock {
    QString author; // the name the program was given; may be empty
    QString user;   // the login
    QString host;
    QString time;   // as written, "DD.MM.YYYY HH:MM" local time
    QString url;    // LibreOffice: its profile folder; this program: its run's lock file

    // The time, or an invalid one when it cannot be read.
    QDateTime since() const;
    // Who, for a message: the author, or else the login, and the host.
    QString holder() const;
    // When, for a message: "2024-09-02 08:30", or the time as written.
    QString sinceText() const;
};

// The lock file of a document: ".~lock.NAME#" in its folder.
QString lockFileOf(const QString& documentPath);

// The lock on a document, or nothing when it has none. A lock file that
// cannot be read as an entry (empty, cut short) counts as none, as
// LibreOffice counts it: nothing says who would hold it.
std::optional<DocumentLock> documentLock(const QString& documentPath);

// Whether a lock is this run's own.
bool isOwnLock(const DocumentLock& lock);
// Whether a lock was written by a run of this program, or by a LibreOffice
// it started, as this user on this host, that has ended.
bool isStaleLock(const DocumentLock& lock);
// The lock on a document held by another program, or by another run of
// this one, and not stale: what to ask about before the document is opened
// for editing or written over. (Within one run the program knows what it
// has open.)
std::optional<DocumentLock> lockHeldElsewhere(const QString& documentPath);

// Writes this run's lock on a document. Returns false when it could not be
// written (a folder this user may not write to).
bool writeDocumentLock(const QString& documentPath);
// Removes the lock on a document if it is still this run's.
void removeDocumentLock(const QString& documentPath);

// What tells whether a file has changed: equal identities, no change seen.
struct FileIdentity {
    bool exists = false;
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds since 1970
    quint64 device = 0;
    quint64 inode = 0;   // a file written anew and renamed into place has another
    bool operator==(const FileIdentity&) const = default;
};
FileIdentity fileIdentity(const QString& path);

} // namespace platform
