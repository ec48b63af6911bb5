#pragma once
// Prints a document of the built-in word processor on its own page size
// and margins, the table as shown on screen.

#include "wordprocessor/document.h"

class QPainter;
class QPrinter;

namespace wordprocessor {

// The document laid out for paper: a copy cut into pages of the page's
// size (in document units), the page's margins on every page.
struct PaperCopy {
    std::unique_ptr<QTextDocument> text;
    QSizeF pageSize;
    int pages = 1;
};
PaperCopy paperCopy(const DocumentData& document);

// Paints page `number` (from 0) of the copy on a device with `scaleX` by
// `scaleY` device units to a document unit, the page's corner at the origin.
void paintPage(QPainter& painter, const PaperCopy& copy, int number, double scaleX, double scaleY);

// Prints `copies` copies. Raises Error when the printer refuses.
void printDocument(const DocumentData& document, QPrinter& printer, int copies);

} // namespace wordprocessor
