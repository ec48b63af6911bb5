#pragma once
// What every engine checks the same way before it acts: the size of a new
// table, the number of copies of a printout.

#include <QString>

namespace word {

// A table callers may add: 1 to 32767 rows and 1 to 63 columns, as Word
// allows; raises AutomationError for others.
void checkTableSize(int rows, int columns);

// The copies of a printout, as typed: a whole number from 1 to 999; any
// other text raises AutomationError.
int printCopies(const QString& typed);

} // namespace word
