#pragma once
// What the LibreOffice engine keeps about a document of an instance: its
// model, name and file, the insertion point's typing font, the tables it
// fits to their texts or knows the texts of, and what one turn's calls
// reuse.

#include "platform/documentlock.h"

#include <QString>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace word::libreoffice {

using css::uno::Reference;

// A character look typed text is given: what Selection.Font set last.
struct TypingFont {
    std::optional<QString> name;
    std::optional<float> size;
    bool empty() const { return !name && !size; }
};

// A cell's text and the face it is set in, as the column fitting measures
// it.
struct CellText {
    QString text;
    QString family;
    float size = 12;
};

// A table fitted to its texts, which keeps fitting them as cells are
// written, as Word's fit to contents does: the width each full row's cell
// needs, by row and column (from 1), and the faces they are set in.
struct FittedTable {
    Reference<css::text::XTextTable> table;
    int columns = 0;
    std::map<std::pair<int, int>, double> needs;
    std::map<std::pair<int, int>, CellText> cells;
    bool changed = false; // needs that change the columns, not yet given to Writer
};

// A table the engine made, and what it has written into it since: every
// cell's text is known without asking Writer (its cells started empty, in
// one face).
struct KnownTable {
    Reference<css::text::XTextTable> table;
    QString family;
    float size = 0; // 0: the face is not known
    std::map<rtl::OUString, QString> texts; // by cell name; missing cells are empty
};

// What the calls of one turn of the event loop reuse (see
// EngineState::noteTurn): Writer's user may change the document between
// turns, not while the program's calls of one turn run.
struct TurnCache {
    Reference<css::text::XTextViewCursor> viewCursor;
    Reference<css::beans::XPropertySet> pageStyle;
    std::map<const css::text::XTextTable*, std::vector<rtl::OUString>> cellNames;
    bool locked = false; // the document's controllers are locked
};

struct DocumentData {
    Reference<css::text::XTextDocument> model;
    QString name; // file name, or 文档N for a new document
    QString path; // empty until saved
    // A table selected as a whole (Table.Select), until the selection moves.
    Reference<css::text::XTextTable> selectedTable;
    TypingFont typing;
    std::vector<FittedTable> fitted;
    std::vector<KnownTable> known;
    TurnCache turn;
    bool closed = false; // its window was closed in LibreOffice
    // The file as it was when read or last written: a change on disk since
    // is asked about before it is written over.
    platform::FileIdentity identity;
};
using DocPtr = std::shared_ptr<DocumentData>;

} // namespace word::libreoffice
