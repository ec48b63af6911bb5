#pragma once
// What every engine asks and checks the same way: the file name a document
// is saved under, and the number of copies a printout is made in.

#include <QString>

class QWidget;

namespace word {

// The name a never-saved document is offered under: its title (characters
// no file name may hold made "_") or else its name, ending in ".doc".
QString proposedFileName(const QString& title, const QString& name);

// Asks where to save a document (Word 97-2003 ".doc" or OpenDocument
// ".odt"), starting beside `currentPath` or in the user's documents. A name
// without either ending gets ".doc". Empty when cancelled.
QString askSaveFileName(QWidget* parent, const QString& currentPath, const QString& proposedName);

bool isOpenDocumentName(const QString& path);

// The copies of a printout, as typed: a whole number from 1 to 999; any
// other text raises AutomationError.
int printCopies(const QString& typed);

} // namespace word
