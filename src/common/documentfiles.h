#pragma once
// What every word processor asks about document files the same way: the
// file name a document is saved under, and whether to save changes.

#include <QMessageBox>
#include <QString>

class QWidget;

namespace documentfiles {

// The name a never-saved document is offered under: its title (characters
// no file name may hold made "_") or else its name, ending in ".doc".
QString proposedFileName(const QString& title, const QString& name);

// Asks where to save a document (Word 97-2003 ".doc" or OpenDocument
// ".odt"), starting beside `currentPath` or in the user's documents. A name
// without either ending gets ".doc". Empty when cancelled.
QString askSaveFileName(QWidget* parent, const QString& currentPath, const QString& proposedName);

bool isOpenDocumentName(const QString& path);

// Whether two paths name one file (the same file reached two ways, or the
// same place for a file not written yet).
bool sameFile(const QString& a, const QString& b);

// Asks whether to save the changes to a document before it closes: Yes,
// No or Cancel, titled with the word processor's name.
QMessageBox::StandardButton askToSaveChanges(QWidget* parent, const QString& documentName, const QString& title);

} // namespace documentfiles
