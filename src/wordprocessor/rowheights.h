#pragma once
// Table cells with Word's margins (left and right only, none above and
// below) and rows drawn at the heights the document gives them. Qt's text tables
// have no row height: a row is as tall as its tallest cell. So a row with a
// height ("at least" or "exactly", kept as docconvert.h describes) gets the
// difference as extra padding in one of its cells, above, below or both
// according to the cell's vertical alignment, worked out from the height
// its content is laid out at. The padding is drawing only: the file model
// takes the table's own cell padding, never a cell's.
//
// A row whose content is taller than an exact height stays as tall as its
// content: Qt's layout cannot clip a row.
//
// An empty paragraph right before a table is given a (transparent)
// background: Qt hides such a block otherwise, where Word shows an empty
// line.

class QTextDocument;

namespace wordprocessor::rowheights {

// Brings the padding of every table in the document up to date with its
// rows' heights and content. True when it changed anything.
bool apply(QTextDocument* document);

// Brings the padding up to date now (after a change of the page width, say)
// and keeps the document's rows at their heights after every edit from now
// on.
// The padding goes into the edit that made it necessary, so undo and redo
// bring back padding that fits the text they bring back, and it leaves a
// document that was not modified unmodified.
void keep(QTextDocument* document);

} // namespace wordprocessor::rowheights
