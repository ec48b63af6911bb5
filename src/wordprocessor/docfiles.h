#pragma once
// Opening and saving the word processor's documents as files, through the
// document library.

#include "wordprocessor/instance.h"

class QWidget;

namespace wordprocessor {

// Reads a file into a new document (name, path and content set). A file the
// library refuses raises Error with the library's reason.
std::shared_ptr<DocumentData> openDocument(const QString& path);

// Saves a document: to its own file, or, when it has none yet (or
// `saveAs`), to a file the user names. A document read with content that
// cannot be saved is never written over its own file. The file is written
// beside the target first and then put in its place, so a failed save
// leaves the old file whole. Returns false when the user cancelled (not an
// error); raises Error when writing fails.
bool saveDocument(DocumentData& document, QWidget* parent, bool saveAs = false);

// Writes a document to `target` in `format` without asking anything
// (beside it first, as saveDocument does); the document then belongs to
// that file, in that format. Raises Error when writing fails.
void writeDocument(DocumentData& document, const QString& target, docfile::Format format);

// Before an instance ends: with Ask, asks about every document with
// unsaved changes whether to save it (Yes, No, Cancel); with Save, saves
// them. Only a visible instance has changes the user
// could have made or seen, so an invisible one is never asked about.
// Returns false when the instance must go on (Cancel, or a save that did
// not happen).
bool settleUnsavedChanges(Instance& instance, UnsavedChanges changes);

// The name a never-saved document is offered under: its title (the first
// paragraph's text) or its name, with ".doc".
QString proposedFileName(const DocumentData& document);

} // namespace wordprocessor
