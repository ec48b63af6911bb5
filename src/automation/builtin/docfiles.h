#pragma once
// Opening and saving the built-in word processor's documents as Word
// 97-2003 files, through the .doc library.

#include "automation/builtin/enginestate.h"

class QWidget;

namespace word::builtin {

// Reads a file into a new document (name, path and content set). A file the
// library refuses raises AutomationError with the library's reason.
std::shared_ptr<DocumentData> openDocument(const QString& path);

// Saves a document: to its own file, or, when it has none yet (or
// `saveAs`), to a file the user names. A document read with content that
// cannot be saved is never written over its own file. The file is written
// beside the target first and then put in its place, so a failed save
// leaves the old file whole. Returns false when the user cancelled (not an
// error); raises AutomationError when writing fails.
bool saveDocument(DocumentData& document, QWidget* parent, bool saveAs = false);

// Before an instance ends: with PromptToSaveChanges, asks about every
// document with unsaved changes whether to save it (Yes, No, Cancel); with
// SaveChanges, saves them. Only a visible instance has changes the user
// could have made or seen, so an invisible one is never asked about.
// Returns false when the instance must go on (Cancel, or a save that did
// not happen).
bool settleUnsavedChanges(EngineState& state, int saveChanges);

// The name a never-saved document is offered under: its title (the first
// paragraph's text) or its name, with ".doc".
QString proposedFileName(const DocumentData& document);

} // namespace word::builtin
