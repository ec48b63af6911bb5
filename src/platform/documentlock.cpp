#include "platform/documentlock.h"

#include "platform/recovery.h"
#include "platform/runlock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSysInfo>
#include <QUrl>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The profile folder of one of our offices a url names (the profile itself,
// or its user folder), or empty.
QString officeProfileOf(const QString& path)
{
    QDir folder(path);
    if (folder.dirName() == QLatin1String("user"))
        folder.cdUp();
    if (!folder.dirName().startsWith(QLatin1String(kOfficeProfilePrefix))
        || QDir::cleanPath(QFileInfo(folder.absolutePath()).absolutePath()) != QDir::cleanPath(QDir::tempPath()))
        return QString();
    return folder.absolutePath();
}

// Whether the office of a profile has ended: the profile is gone, or
// nobody holds its lock.
bool officeEnded(const QString& profile)
{
    const int fd = ::open(QFile::encodeName(profile + u'/' + QLatin1String(kOfficeProfileLock)).constData(),
                          O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return !QFileInfo::exists(profile);
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

struct Me {
    QString author, login, host;
};

const Me& me()
{
    static const Me who = [] {
        Me m;
        passwd entry{};
        passwd* found = nullptr;
        char buffer[4096];
        if (::getpwuid_r(::geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found) {
            m.login = QString::fromLocal8Bit(found->pw_name);
            // The full name is the first part of the comment field.
            m.author = QString::fromLocal8Bit(found->pw_gecos).section(u',', 0, 0).trimmed();
        }
        if (m.login.isEmpty())
            m.login = qEnvironmentVariable("USER");
        if (m.author.isEmpty())
            m.author = m.login;
        m.host = QSysInfo::machineHostName();
        return m;
    }();
    return who;
}

// This run's lock file as a URL: the url field of our locks. Named even
// when the lock cannot be held (a data folder that cannot be written), so
// that this run still knows its own locks.
QString ownUrl()
{
    const QString folder = recoveryFolder();
    holdRunLock(folder);
    return QUrl::fromLocalFile(runLockFile(folder)).toString();
}

QByteArray escaped(const QString& field)
{
    QByteArray out;
    for (const char c : field.toUtf8()) {
        if (c == ',' || c == ';' || c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

// The five fields of the first entry, or nothing when there is no whole one.
std::optional<QStringList> parseEntry(const QByteArray& bytes)
{
    QStringList fields;
    QByteArray field;
    bool escape = false;
    for (const char c : bytes) {
        if (escape) {
            if (c != ',' && c != ';' && c != '\\')
                return std::nullopt;
            field += c;
            escape = false;
        } else if (c == '\\') {
            escape = true;
        } else if (c == ',' || c == ';') {
            fields << QString::fromUtf8(field);
            field.clear();
            if ((c == ';') != (fields.size() == 5))
                return std::nullopt;
            if (c == ';')
                return fields;
        } else {
            field += c;
        }
    }
    return std::nullopt;
}

} // namespace

QDateTime DocumentLock::since() const
{
    return QDateTime::fromString(time, QStringLiteral("dd.MM.yyyy HH:mm"));
}

QString DocumentLock::holder() const
{
    QString who = author.trimmed().isEmpty() ? user : author.trimmed();
    if (who.isEmpty())
        who = QStringLiteral("另一位用户");
    return host.isEmpty() ? who : QStringLiteral("%1（计算机“%2”）").arg(who, host);
}

QString DocumentLock::sinceText() const
{
    const QDateTime when = since();
    return when.isValid() ? when.toString(QStringLiteral("yyyy-MM-dd HH:mm")) : time;
}

QString lockFileOf(const QString& documentPath)
{
    // Beside the file a link leads to, where LibreOffice looks too.
    const QFileInfo info(documentPath);
    const QFileInfo real(info.exists() ? info.canonicalFilePath() : info.absoluteFilePath());
    return real.absoluteDir().filePath(QStringLiteral(".~lock.") + real.fileName() + u'#');
}

std::optional<DocumentLock> documentLock(const QString& documentPath)
{
    QFile file(lockFileOf(documentPath));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const auto fields = parseEntry(file.read(64 * 1024));
    if (!fields)
        return std::nullopt;
    return DocumentLock{fields->at(0), fields->at(1), fields->at(2), fields->at(3), fields->at(4)};
}

bool isOwnLock(const DocumentLock& lock)
{
    return lock.user == me().login && lock.host == me().host && lock.url == ownUrl();
}

bool isStaleLock(const DocumentLock& lock)
{
    if (lock.user != me().login || lock.host != me().host)
        return false;
    const QUrl url(lock.url);
    if (!url.isLocalFile())
        return false;
    if (const QString profile = officeProfileOf(url.toLocalFile()); !profile.isEmpty())
        return officeEnded(profile);
    const QString runLock = url.toLocalFile();
    const QString name = QFileInfo(runLock).fileName();
    return name.endsWith(QLatin1String(".lock")) && !runIdOfName(name).isEmpty() && !runLockHeld(runLock);
}

std::optional<DocumentLock> lockHeldElsewhere(const QString& documentPath)
{
    auto lock = documentLock(documentPath);
    if (lock && (isOwnLock(*lock) || isStaleLock(*lock)))
        return std::nullopt;
    return lock;
}

bool writeDocumentLock(const QString& documentPath)
{
    const QByteArray entry = escaped(me().author) + ',' + escaped(me().login) + ',' + escaped(me().host) + ','
                             + QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm")).toUtf8() + ','
                             + escaped(ownUrl()) + ';';
    QSaveFile file(lockFileOf(documentPath));
    return file.open(QIODevice::WriteOnly) && file.write(entry) == entry.size() && file.commit();
}

void removeDocumentLock(const QString& documentPath)
{
    const auto lock = documentLock(documentPath);
    if (lock && isOwnLock(*lock))
        QFile::remove(lockFileOf(documentPath));
}

FileIdentity fileIdentity(const QString& path)
{
    struct stat info{};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true, qint64(info.st_size), qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
            quint64(info.st_dev), quint64(info.st_ino)};
}

} // namespace platform
