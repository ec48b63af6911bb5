#include "platform/recovery.h"

#include "platform/keptfiles.h"

#include "platform/fileerrors.h"
#include "platform/runlock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace platform {

namespace {

std::mutex g_problemMutex;
std::function<void(const QString&)> g_problemHandler;
// The copies whose last write failed. A failure is told when no other copy
// is failing: once for a folder that cannot be written, however many
// documents there are, and again once every copy has been written since.
QSet<QString> g_failing;

QString noteOf(const QString& copy)
{
    return copy.chopped(4) + QStringLiteral(".note");
}

// Where a copy or a note is written before it is put in its place.
QString temporaryOf(const QString& file)
{
    return file + QStringLiteral(".tmp");
}

// Whether the run a file of the folder is named after has ended; a file
// named after no run is left from an earlier version, whose runs have ended.
bool runEnded(const QDir& folder, const QString& fileName)
{
    const QString id = runIdOfName(fileName);
    return id.isEmpty() || !runLockHeld(folder.filePath(id + QStringLiteral(".lock")));
}

// Renames in one step, replacing what is at `to`; the reason when it fails.
QString rename(const QString& from, const QString& to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return QString();
    return fileErrorText(errno);
}

QString makeFolder(const QString& folder)
{
    if (QDir().mkpath(folder))
        return QString();
    // mkpath does not say why; a file standing where a folder should be is
    // the one cause worth naming.
    for (QString part = QDir::cleanPath(QFileInfo(folder).absoluteFilePath()); !part.isEmpty();) {
        const QFileInfo info(part);
        if (info.exists() && !info.isDir())
            return QStringLiteral("“%1”是一个文件，不是文件夹").arg(QDir::toNativeSeparators(part));
        const QString up = info.absolutePath();
        part = up == part ? QString() : up;
    }
    return QStringLiteral("无法建立文件夹“%1”").arg(QDir::toNativeSeparators(folder));
}

void tellProblem(const QString& copy, QString reason)
{
    std::function<void(const QString&)> handler;
    {
        const std::lock_guard<std::mutex> guard(g_problemMutex);
        const bool told = !g_failing.isEmpty();
        g_failing.insert(copy);
        if (told)
            return;
        handler = g_problemHandler;
    }
    while (reason.endsWith(u'。') || reason.endsWith(u'.'))
        reason.chop(1);
    const QString message = QStringLiteral("无法保存恢复副本：%1。在问题解决之前，没有保存的修改可能会在程序意外退出时丢失。").arg(reason);
    if (handler)
        handler(message);
    else
        qWarning("%s", qUtf8Printable(message));
}

void forgetProblem(const QString& copy)
{
    const std::lock_guard<std::mutex> guard(g_problemMutex);
    g_failing.remove(copy);
}

// Writes and puts in place; the reason when any step fails.
QString writeInPlace(const QString& copy, const std::function<QString(const QString&)>& write,
                     const QString& documentName, const QString& documentPath)
{
    const QString folder = QFileInfo(copy).absolutePath();
    QString problem = makeFolder(folder);
    if (!problem.isEmpty())
        return problem;
    // Without its run's lock the copy would look left behind to other runs.
    if (holdRunLock(folder, &problem).isEmpty())
        return problem;

    const QString temporary = temporaryOf(copy);
    QFile::remove(temporary);
    problem = write(temporary);
    if (problem.isEmpty() && !QFileInfo::exists(temporary))
        problem = QStringLiteral("没有写出文件");
    if (problem.isEmpty()) {
        // On disk before it replaces the copy written before it.
        const int fd = ::open(QFile::encodeName(temporary).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::fsync(fd) != 0)
            problem = fileErrorText(errno);
        if (fd >= 0)
            ::close(fd);
    }
    if (problem.isEmpty())
        problem = rename(temporary, copy);
    if (!problem.isEmpty())
        return problem;

    const QString note = noteOf(copy);
    problem = writeFileBytes(temporaryOf(note), (documentName + u'\n' + documentPath + u'\n').toUtf8());
    if (problem.isEmpty())
        problem = rename(temporaryOf(note), note);
    return problem;
}

} // namespace

QString recoveryFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    const QString folder = base + QStringLiteral("/lumetra/recovery");
    QDir().mkpath(folder);
    return folder;
}

int recoveryInterval()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("LUMETRA_RECOVERY_SECONDS", &ok);
    return (ok && seconds >= 0 ? seconds : 30) * 1000;
}

QString recoveryFile(const QString& key)
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9_-]"));
    const QString folder = recoveryFolder();
    holdRunLock(folder); // taken before the run has a copy; a failure shows when one is written
    return QDir(folder).filePath(QStringLiteral("%1-%2.doc").arg(runId(), QString(key).replace(unsafe, QStringLiteral("_"))));
}

bool writeRecoveryCopy(const QString& copy, const std::function<QString(const QString&)>& write,
                       const QString& documentName, const QString& documentPath)
{
    const QString problem = writeInPlace(copy, write, documentName, documentPath);
    if (!problem.isEmpty()) {
        QFile::remove(temporaryOf(copy));
        QFile::remove(temporaryOf(noteOf(copy)));
        tellProblem(copy, problem);
        return false;
    }
    forgetProblem(copy);
    return true;
}

QString writeFileBytes(const QString& path, QByteArrayView bytes)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return fileErrorText(errno);
    qsizetype done = 0;
    int error = 0;
    while (done < bytes.size() && !error) {
        const ssize_t written = ::write(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (written > 0)
            done += written;
        else if (written < 0 && errno != EINTR)
            error = errno;
    }
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error)
        return QString();
    ::unlink(name.constData());
    return fileErrorText(error);
}

void removeRecoveryCopy(const QString& copy)
{
    forgetProblem(copy);
    for (const QString& file : {copy, noteOf(copy), temporaryOf(copy), temporaryOf(noteOf(copy))})
        QFile::remove(file);
}

QList<RecoveryCopy> leftRecoveryCopies()
{
    QList<RecoveryCopy> copies;
    const QDir folder(recoveryFolder());
    for (const QFileInfo& info : folder.entryInfoList({QStringLiteral("*.doc")}, QDir::Files, QDir::Time | QDir::Reversed)) {
        if (!runEnded(folder, info.fileName()))
            continue;
        RecoveryCopy copy;
        copy.file = info.absoluteFilePath();
        copy.written = info.lastModified();
        QFile note(noteOf(copy.file));
        if (note.open(QIODevice::ReadOnly)) {
            const QStringList lines = QString::fromUtf8(note.readAll()).split(u'\n');
            copy.documentName = lines.value(0);
            copy.documentPath = lines.value(1);
        }
        if (copy.documentName.isEmpty())
            copy.documentName = QStringLiteral("文档");
        copies << copy;
    }
    return copies;
}

std::optional<RecoveryCopy> claimRecoveryCopy(const RecoveryCopy& copy)
{
    static std::atomic<int> claimed{0};
    const QString folder = QFileInfo(copy.file).absolutePath();
    if (holdRunLock(folder).isEmpty())
        return std::nullopt; // a claimed copy would look left behind to other runs
    RecoveryCopy ours = copy;
    ours.file = QDir(folder).filePath(QStringLiteral("%1-recovered%2.doc").arg(runId()).arg(++claimed));
    // One rename is one step: of two runs renaming the same copy, one finds
    // it gone.
    if (!rename(copy.file, ours.file).isEmpty())
        return std::nullopt;
    rename(noteOf(copy.file), noteOf(ours.file)); // a copy without its note is still worth offering
    return ours;
}

QString keepRecoveryCopyApart(const RecoveryCopy& copy, QString* problem)
{
    const QString target = keptFileName(copy.documentName, copy.documentPath, QStringLiteral("（恢复）"));
    if (!QFile::rename(copy.file, target) && !(QFile::copy(copy.file, target) && QFile::remove(copy.file))) {
        if (problem)
            *problem = QStringLiteral("无法把“%1”的恢复副本保存为“%2”。副本仍在“%3”。")
                           .arg(copy.documentName, QDir::toNativeSeparators(target), QDir::toNativeSeparators(copy.file));
        return QString();
    }
    removeRecoveryCopy(copy.file); // its note
    return target;
}

void cleanRecoveryFolder()
{
    const QDir folder(recoveryFolder());
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const bool stale = name.endsWith(QLatin1String(".tmp"))
                           || (name.endsWith(QLatin1String(".note")) && !names.contains(name.chopped(5) + QStringLiteral(".doc")));
        if (stale && runEnded(folder, name))
            QFile::remove(folder.filePath(name));
    }
    for (const QString& name : names)
        if (name.endsWith(QLatin1String(".lock")) && !runIdOfName(name).isEmpty())
            removeEndedRunLock(folder.filePath(name));
}

void setRecoveryProblemHandler(std::function<void(const QString&)> handler)
{
    const std::lock_guard<std::mutex> guard(g_problemMutex);
    g_problemHandler = std::move(handler);
}

} // namespace platform
