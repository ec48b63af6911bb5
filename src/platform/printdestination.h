#pragma once
// Where a printout goes: the system's default printer (CUPS on Linux), or,
// when the environment variable LUMETRA_PRINT_PDF names a file, that PDF
// file instead (for machines without a printer, and for tests).

#include <QString>
#include <memory>

class QPrinter;

namespace platform {

inline constexpr const char* kPrintToPdfVariable = "LUMETRA_PRINT_PDF";

// A printer ready to print on, or nothing with the reason in `problem`.
std::unique_ptr<QPrinter> openPrinter(QString* problem);

} // namespace platform
