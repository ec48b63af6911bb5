#pragma once
// What every object handle of the built-in word processor holds: the
// instance's state, kept alive as an object, and the document the handle
// belongs to. Every call goes through the lock functions here, which check
// that the instance still runs and that what the handle points to still
// exists.

#include "automation/builtin/enginestate.h"

namespace word::builtin {

using StatePtr = std::shared_ptr<EngineState>;
using DocPtr = std::shared_ptr<DocumentData>;

class Handle {
protected:
    // Handles above the documents (the documents, the selection) have none.
    explicit Handle(StatePtr state, std::weak_ptr<DocumentData> document = {})
        : m_state(std::move(state)), m_document(std::move(document))
    {
    }

    // The handle's document. Throws AutomationError when the instance has
    // ended or the document is closed.
    DocPtr document() const;

    StatePtr m_state;
    std::weak_ptr<DocumentData> m_document;
};

// A handle on a table of the document, or on something in one.
class TableHandle : public Handle {
protected:
    TableHandle(StatePtr state, std::weak_ptr<DocumentData> document, QPointer<QTextTable> table)
        : Handle(std::move(state), std::move(document)), m_table(std::move(table))
    {
    }

    // The table. Throws AutomationError when the instance has ended, or the
    // document or the table is gone.
    QTextTable* table() const;

    QPointer<QTextTable> m_table;
};

} // namespace word::builtin
