#pragma once
// A LibreOffice started ahead of need, while the program waits for the
// user: the next instance takes it instead of starting one, so that New
// answers at once once the program has been open a few seconds. It is
// started when the program starts and after a timetable closes (with
// LibreOffice as the chosen word processor); one nobody took ends with the
// program; one that failed to start is forgotten, and the instance that
// would have taken it starts its own, reporting its failure then.

#include "automation/libreoffice/officeprocess.h"

#include <memory>

namespace word::libreoffice {

// Starts a spare office, unless one is there or starting.
void prepareSpareOffice(bool headless);
// The spare office, connected or still starting, or nothing.
std::unique_ptr<OfficeProcess> takeSpareOffice(bool headless);
// Ends the spare office, if any (the program ends, another engine is chosen).
void discardSpareOffice();
// Whether a spare office is there and connected (for tests).
bool spareOfficeReady();

} // namespace word::libreoffice
