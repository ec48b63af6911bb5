#pragma once
// Column widths that follow the texts, as Word's "fit to contents": each
// column as wide as its longest text on one line, the table then spread over
// the text width in those shares. The texts are measured here, in the faces
// Writer draws them in (it reads the same font configuration); Writer's own
// optimal width needs a laid-out window, which a document being built
// unseen does not have.

#include "automation/libreoffice/enginestate.h"

namespace word::libreoffice {

// Fits the table's columns to all its texts, and keeps it fitting them.
void fitColumnsToText(EngineState& state, DocumentData& document, const Reference<css::text::XTextTable>& table);
// After a cell was written (its text replaced by `text`, or `text` added to
// it): when the table is one that fits its texts and the cell's column now
// needs another width, the table's shares are given to Writer at the end of
// the turn (EngineState::settle).
void refitCell(DocumentData& document, const Reference<css::text::XTextTable>& table, int row, int column,
               const QString& text, bool added);
// Gives every full row of a fitted table the columns' shares.
void applyColumnShares(EngineState& state, const FittedTable& fitted);

} // namespace word::libreoffice
