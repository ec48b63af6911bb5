#pragma once
// What every word processor asks about document files the same way: the
// file name a document is saved under, whether to save changes, what to do
// about a file someone else has open or has changed; and how a problem
// with recovery copies is told.

#include "docfile/formats.h"

#include <QMessageBox>
#include <QString>
#include <optional>

class QWidget;

namespace platform { struct DocumentLock; }

namespace documentfiles {

// The name a never-saved document is offered under: its title (characters
// no file name may hold made "_") or else its name, ending in the format's
// extension (".doc" unless said otherwise).
QString proposedFileName(const QString& title, const QString& name,
                         docfile::Format format = docfile::Format::Word97);

// Asks where to save a document (Word 97-2003 ".doc", Word ".docx" or
// OpenDocument ".odt"), starting beside `currentPath` or in the user's
// documents, the proposed name's format offered first. A name without one
// of those endings gets the proposed name's. Empty when cancelled.
QString askSaveFileName(QWidget* parent, const QString& currentPath, const QString& proposedName);

// The format a file name asks for by its ending, if any.
std::optional<docfile::Format> formatOfName(const QString& path);

// Whether two paths name one file (the same file reached two ways, or the
// same place for a file not written yet).
bool sameFile(const QString& a, const QString& b);

// Asks whether to save the changes to a document before it closes: Yes,
// No or Cancel, titled with the word processor's name.
QMessageBox::StandardButton askToSaveChanges(QWidget* parent, const QString& documentName, const QString& title);

// Asks whether to open a document for editing all the same when its lock
// says someone else has it open, naming who and since when. True for Yes.
bool askToOpenLocked(QWidget* parent, const QString& path, const platform::DocumentLock& lock, const QString& title);
// Asks whether to write over a file someone else has open. True for Yes.
bool askToSaveOverLocked(QWidget* parent, const QString& path, const platform::DocumentLock& lock,
                         const QString& title);
// Asks whether to save over a file another program has changed since it
// was opened or last saved. True for Yes.
bool askToSaveOverChanged(QWidget* parent, const QString& path, const QString& title);

// The program's handler of problems with recovery copies (see
// platform::setRecoveryProblemHandler): a warning over the active window,
// shown once the work under way has returned to the event loop.
void warnAboutRecoveryCopies(const QString& message);

} // namespace documentfiles
