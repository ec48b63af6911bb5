#pragma once
// Recovery copies: what a word processor keeps of documents with unsaved
// changes, so that a crash or a power cut loses at most the last few
// seconds of work. Both word processors use this one store. Each copy is a
// .doc file in the user's data folder with a small note beside it (the
// document's name and file), named after the run that wrote it (see
// runlock.h): a copy belongs to a running copy of the program exactly when
// its run's lock is held, and is left behind otherwise.
//
// A copy is written under a temporary name beside it and then put in its
// place in one step, so that a crash while writing leaves the last whole
// copy and a temporary file that is recognisably stale. A copy that cannot
// be written is said once (through the handler the program installs), not
// again for each document or each try, and tried again at the next change;
// once every failing copy has been written since (or removed), the next
// failure is said again.

#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace platform {

// The folder of recovery copies (made when missing); tests point
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

// The path of this run's copy of one document; `key` tells the run's
// documents apart (letters, digits, '-' and '_'; others become '_').
QString recoveryFile(const QString& key);

// Writes a copy: calls `write` with a temporary path beside `copy`, where
// it writes the document and returns an empty text, or a reason in Chinese
// when it could not; then puts the file in the copy's place and writes the
// note. On failure the temporary file is removed, the problem is said once
// and false is returned; the copy written before, if any, stays.
bool writeRecoveryCopy(const QString& copy, const std::function<QString(const QString& temporaryPath)>& write,
                       const QString& documentName, const QString& documentPath);

// Writes bytes to a file the whole way, on disk before it returns (the
// write a `write` above may use). Returns an empty text, or the reason.
QString writeFileBytes(const QString& path, QByteArrayView bytes);

// Removes a copy, its note and what a failed write of them left.
void removeRecoveryCopy(const QString& copy);

// Copies left behind by runs that have ended, oldest first. Copies named
// by process number alone (as earlier versions named them) count as left
// behind: nothing tells which run wrote them.
QList<RecoveryCopy> leftRecoveryCopies();

// Makes a left-behind copy this run's before it is offered: the copy, then
// its note, are renamed into this run's name, each in one step. Nothing when
// another run has claimed it first (or it is gone); that run offers it. A
// run that ends before it has done with a claimed copy leaves it behind
// again, for a later run.
std::optional<RecoveryCopy> claimRecoveryCopy(const RecoveryCopy& copy);

// Puts a copy of this run's (a claimed one, or one whose word processor
// went) into a file of its own beside the document's file or in the
// documents folder, named "…（恢复）.doc", and removes its note. Returns
// that file, or an empty text and the reason in `problem`; the copy then
// stays where it was.
QString keepRecoveryCopyApart(const RecoveryCopy& copy, QString* problem);

// At start: removes what ended runs left besides their copies (temporary
// files of a write a crash cut short, notes without a copy, lock files).
void cleanRecoveryFolder();

// Where the problem of a copy that cannot be written goes: a complete
// sentence for the user. The program's shell installs a handler at start
// that shows it; the store itself shows nothing. It may be called from
// inside a word processor's work, so the handler should show it later.
void setRecoveryProblemHandler(std::function<void(const QString& message)> handler);

} // namespace platform
