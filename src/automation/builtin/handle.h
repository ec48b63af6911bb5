#pragma once
// What every object handle of the built-in word processor holds: the
// instance, kept alive as an object, and the document the handle belongs
// to. Every call goes through the lock functions here, which check that the
// instance still runs and that what the handle points to still exists, and
// the word processor's own errors become the engine's.

#include "automation/automationerror.h"
#include "wordprocessor/error.h"
#include "wordprocessor/instance.h"

namespace word::builtin {

using StatePtr = std::shared_ptr<wordprocessor::Instance>;
using DocPtr = std::shared_ptr<wordprocessor::DocumentData>;
using wordprocessor::DocumentData;
using wordprocessor::PageSetupData;

// Throws AutomationError when the instance has ended.
void requireAlive(const wordprocessor::Instance& instance);
// The active document, with the program's edit of this turn open on it.
// Throws AutomationError when the instance has ended or has no document.
DocPtr requireActive(const wordprocessor::Instance& instance);

// Runs a command of the word processor; its refusal becomes AutomationError.
template <typename F>
auto translated(F&& command) -> decltype(command())
{
    try {
        return command();
    } catch (const wordprocessor::Error& error) {
        throw AutomationError(error.message());
    }
}

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
