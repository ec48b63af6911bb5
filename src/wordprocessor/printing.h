#pragma once
// Prints a document of the built-in word processor on its own page size
// and margins, the table as shown on screen.

#include "wordprocessor/document.h"

class QPrinter;

namespace wordprocessor {

// Prints `copies` copies. Raises Error when the printer refuses.
void printDocument(const DocumentData& document, QPrinter& printer, int copies);

} // namespace wordprocessor
