#pragma once
// Recovery copies: what the built-in word processor keeps of documents with
// unsaved changes, so that a crash or a power cut loses at most the last
// few seconds of work. Each copy is a .doc file in the user's data folder
// with a small note beside it (the document's name and file); the copy's
// file name carries the process that wrote it, so that the copies of a
// program still running are never taken for left-behind ones.

#include <QDateTime>
#include <QList>
#include <QString>

namespace platform {

// The folder of recovery copies (created when missing); tests point
// XDG_DATA_HOME elsewhere.
QString recoveryFolder();

// How often at most a document's copy is written, in milliseconds:
// 30 seconds, or LUMETRA_RECOVERY_SECONDS when set (tests).
int recoveryInterval();

struct RecoveryCopy {
    QString file;         // the .doc copy
    QString documentName; // the name the document had ("文档1", "课程表.doc")
    QString documentPath; // its own file, empty when never saved
    QDateTime written;
};

// The path of the copy for one document of this process; `key` tells the
// process's documents apart.
QString recoveryFile(const QString& key);
// Writes the note beside a copy.
bool writeRecoveryNote(const QString& copy, const QString& documentName, const QString& documentPath);
// Removes a copy and its note.
void removeRecoveryCopy(const QString& copy);

// Copies left behind by processes that are no longer running, oldest first.
QList<RecoveryCopy> leftRecoveryCopies();

} // namespace platform
