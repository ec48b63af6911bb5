#include "platform/recovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <csignal>
#include <cerrno>

namespace platform {

namespace {

QString noteOf(const QString& copy)
{
    return copy.chopped(4) + QStringLiteral(".note");
}

// The program name and state of a process, from /proc; empty when there
// is no such process.
QByteArray processStat(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    return stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
}

// Whether process `pid` is a running copy of this program. A process that
// was killed but not yet reaped (a zombie) has ended; a number the system
// has since given to another program is not ours.
bool running(qint64 pid)
{
    if (pid <= 0)
        return false;
    if (pid == QCoreApplication::applicationPid())
        return true;
    const QByteArray own = processStat(QCoreApplication::applicationPid());
    if (own.isEmpty()) // no /proc: ask the system
        return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
    const QByteArray other = processStat(pid);
    // "pid (name) state ...": the name may hold spaces and brackets.
    const auto name = [](const QByteArray& stat) { return stat.mid(stat.indexOf('('), stat.lastIndexOf(')') - stat.indexOf('(') + 1); };
    const auto state = [](const QByteArray& stat) { return stat.mid(stat.lastIndexOf(')') + 2, 1); };
    return !other.isEmpty() && state(other) != "Z" && state(other) != "X" && name(other) == name(own);
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
    return QDir(recoveryFolder()).filePath(
        QStringLiteral("%1-%2.doc").arg(QCoreApplication::applicationPid()).arg(key));
}

bool writeRecoveryNote(const QString& copy, const QString& documentName, const QString& documentPath)
{
    QSaveFile note(noteOf(copy));
    if (!note.open(QIODevice::WriteOnly))
        return false;
    note.write((documentName + u'\n' + documentPath + u'\n').toUtf8());
    return note.commit();
}

void removeRecoveryCopy(const QString& copy)
{
    QFile::remove(copy);
    QFile::remove(noteOf(copy));
}

QList<RecoveryCopy> leftRecoveryCopies()
{
    static const QRegularExpression name(QStringLiteral("^([0-9]+)-.+\\.doc$"));
    QList<RecoveryCopy> copies;
    const QDir folder(recoveryFolder());
    for (const QFileInfo& info : folder.entryInfoList({QStringLiteral("*.doc")}, QDir::Files, QDir::Time | QDir::Reversed)) {
        const auto match = name.match(info.fileName());
        if (!match.hasMatch() || running(match.captured(1).toLongLong()))
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

} // namespace platform
