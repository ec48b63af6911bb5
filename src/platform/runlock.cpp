#include "platform/runlock.h"

#include "platform/fileerrors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::mutex g_mutex;
QString g_lockPath; // the lock this run holds, and the open file holding it
int g_lockFd = -1;

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether the lock file this run holds is still the file at its path.
bool stillInPlace()
{
    struct stat held{}, named{};
    return g_lockFd >= 0 && ::fstat(g_lockFd, &held) == 0
           && ::stat(QFile::encodeName(g_lockPath).constData(), &named) == 0 && sameFile(held, named);
}

} // namespace

QString runId()
{
    static const QString id = [] {
        bool ok = false;
        qint64 pid = qEnvironmentVariableIntValue("LUMETRA_RUN_PID", &ok);
        if (!ok || pid <= 0)
            pid = QCoreApplication::applicationPid();
        return QStringLiteral("%1.%2").arg(pid).arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
    }();
    return id;
}

QString runIdOfName(const QString& fileName)
{
    static const QRegularExpression id(QStringLiteral("^([0-9]+\\.[0-9a-f]{16})(?:\\.lock$|-)"));
    return id.match(fileName).captured(1);
}

QString runLockFile(const QString& folder)
{
    return QDir(folder).filePath(runId() + QStringLiteral(".lock"));
}

QString holdRunLock(const QString& folder, QString* problem)
{
    const std::lock_guard<std::mutex> guard(g_mutex);
    const QString path = runLockFile(folder);
    if (path == g_lockPath && stillInPlace())
        return path;
    if (g_lockFd >= 0)
        ::close(g_lockFd); // a lock in a folder no longer in use, or one removed under us
    g_lockFd = -1;
    g_lockPath.clear();
    const QByteArray name = QFile::encodeName(path);
    // A run cleaning the folder may remove the file between our opening and
    // our locking it (it takes the lock for a moment to see whether the run
    // has ended): then the lock held is on a file no longer there; try again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            break;
        if (::flock(fd, LOCK_EX) != 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
            break;
        }
        g_lockFd = fd;
        g_lockPath = path;
        if (stillInPlace())
            return path;
        ::close(fd);
        g_lockFd = -1;
        g_lockPath.clear();
    }
    if (problem)
        *problem = QStringLiteral("无法在“%1”中建立文件：%2").arg(QDir::toNativeSeparators(folder), fileErrorText(errno));
    return QString();
}

bool runLockHeld(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno != ENOENT && errno != ENOTDIR;
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

bool removeEndedRunLock(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Removed while we hold the lock, so that no run can take it between
    // our look and the removal (one that does finds the file gone and
    // makes it anew).
    bool removed = false;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        removed = ::unlink(name.constData()) == 0;
    ::close(fd);
    return removed;
}

} // namespace platform
