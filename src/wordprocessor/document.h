#pragma once
// A document of the built-in word processor: its text as a Qt rich-text
// document, its page, its file, and the insertion point a program types at.

#include "docfile/document.h"

#include <QPointer>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QTextTableFormat>
#include <QTextTableCell>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace wordprocessor {

// Page setup in points, as the document will be saved and printed.
// The defaults are an A4 page with Word's usual margins.
struct PageSetupData {
    float topMargin = 72.0f;
    float bottomMargin = 72.0f;
    float leftMargin = 90.0f;
    float rightMargin = 90.0f;
    float headerDistance = 42.55f;
    float footerDistance = 49.6f;
    float pageWidth = 595.3f;
    float pageHeight = 841.9f;
    int verticalAlignment = 0;
};

struct DocumentData {
    std::unique_ptr<QTextDocument> text;
    QString name;       // "文档1", or the file name once saved or opened
    QString path;       // full path of its file, empty until saved or opened
    // The format its file has: what Save writes (a .docx stays a .docx,
    // whatever its name says); a new document's is Word 97-2003.
    docfile::Format format = docfile::Format::Word97;
    PageSetupData page;
    QTextCursor cursor;            // the insertion point (the selection)
    QTextCharFormat typingFormat;  // font applied to what is typed next
    QPointer<QTextTable> selectedTable; // set while a whole table is selected
    // What the file it was read from held that cannot be saved (pictures,
    // fields, ...); empty when nothing was left out.
    QString lossyNote;
    // The program's edit open in this turn of the event loop, if any.
    mutable std::optional<QTextCursor> programEdit;
};

// The calls a program makes in one turn of the event loop (a whole build,
// one cell written by course entry) are one edit of the document: Qt lays a
// table out again after every edit, so the layout runs once, at the end of
// the turn; and one undo takes the edit back.
void openProgramEdit(DocumentData& document);
// Ends the open edit now: before the layout is read (widths for saving),
// before printing, and before the document's tables are listed (Qt brings
// its list of frames up to date only when an edit ends).
void closeProgramEdit(const DocumentData& document);

// Document units per point: the layout works in screen pixels, so page
// lengths and indents are converted at the screen's resolution.
double unitsPerPoint();

// The look of a new table: single black lines, no spacing between cells.
QTextTableFormat plainTableFormat();
// A cell's margins as Word has them: the table's cell padding left and
// right, none above and below.
void setWordCellMargins(QTextTableCell& cell);

// The document's default font: Chinese body text at Word's usual 10.5 pt.
QFont defaultDocumentFont();

// Lays the document out at its page width and margins.
void applyPage(DocumentData& document);

// A new empty document named `name`, in the default font, laid out on the
// default page, with no changes to save.
std::shared_ptr<DocumentData> newDocument(const QString& name);

} // namespace wordprocessor
