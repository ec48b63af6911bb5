#pragma once
// Turns the built-in word processor's rich-text documents into the .doc
// library's model and back, so documents can be saved and opened.

#include "wordprocessor/document.h"
#include "docfile/document.h"

#include <QTextTable>

namespace wordprocessor {

// The document as the file model holds it: page setup, paragraphs with
// their runs, tables with their rows, cells, widths and merged rows.
docfile::Document toModel(const DocumentData& document);

// Fills an empty document from the model (page setup and content).
void fromModel(const docfile::Document& model, DocumentData& document);

// The widths of a table's columns in layout units: the fixed widths it was
// given, or, for a table fitted to its contents or the window, the widths
// it is laid out at.
std::vector<double> columnWidths(QTextTable* table);

// A table row's height as docfile::Row has it: rule 0 as tall as the
// content (twips unused), 1 at least `twips`, 2 exactly `twips`.
struct RowHeight {
    int rule = 0;
    std::int32_t twips = 0;
    bool operator==(const RowHeight&) const = default;
};

// Qt's tables have no row heights: the word processor keeps each row's
// height with the table, on the formats of the cells the row crosses
// (property kRowHeightsProperty: for each row the cell spans, Word's
// signed twips, > 0 at least, < 0 exactly, 0 automatic). A row inserted
// beside one copies its cells' formats and so its height. Qt's layout does
// not know the height: rowheights.h makes the rows that tall.
constexpr int kRowHeightsProperty = QTextFormat::UserProperty + 0x4C01;
RowHeight rowHeight(QTextTable* table, int row);
void setRowHeight(QTextTable* table, int row, RowHeight height);

// Qt keeps a block before a table at the start of the document and after
// every table, and does not show it while it is empty; Word has no such
// paragraph before a table. The first is marked with this property when
// a file is opened, so that saving leaves it out; an empty block right
// after a table is always left out (Word's own paragraph there is the
// writer's to add).
constexpr int kQtOwnBlockProperty = QTextFormat::UserProperty + 0x4C03;

} // namespace wordprocessor
