#pragma once
// Prints a document of the built-in word processor on its own page size
// and margins, the table as shown on screen.

#include "automation/builtin/enginestate.h"

class QPrinter;

namespace word::builtin {

// Prints `copies` copies. Raises AutomationError when the printer refuses.
void printDocument(const DocumentData& document, QPrinter& printer, int copies);

} // namespace word::builtin
