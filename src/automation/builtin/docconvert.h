#pragma once
// Turns the built-in word processor's rich-text documents into the .doc
// library's model and back, so documents can be saved and opened.

#include "automation/builtin/enginestate.h"
#include "docfile/document.h"

namespace word::builtin {

// The document as the file model holds it: page setup, paragraphs with
// their runs, tables with their rows, cells, widths and merged rows.
docfile::Document toModel(const DocumentData& document);

// Fills an empty document from the model (page setup and content).
void fromModel(const docfile::Document& model, DocumentData& document);

} // namespace word::builtin
