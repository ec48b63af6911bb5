#include "automation/builtin/builtinapplication.h"

#include "automation/builtin/builtinobjects.h"
#include "automation/checks.h"
#include "platform/printdestination.h"
#include "wordprocessor/printing.h"
#include "wordprocessor/recoverycopies.h"

#include <QPrinter>

namespace word::builtin {

BuiltinApplication::BuiltinApplication(bool windowless)
    : m_state(std::make_shared<wordprocessor::Instance>(windowless))
{
}

BuiltinApplication::~BuiltinApplication()
{
    // An application object that is let go without quit keeps its window
    // open, as an external word processor would keep running; one that was
    // never shown (or never shows windows) has nothing the user could see,
    // so it ends with the object.
    if (m_state->alive && (!m_state->visible || m_state->windowless)) {
        m_state->endedHandler = nullptr; // its owner has let it go already
        m_state->end();
    }
}

std::shared_ptr<BuiltinApplication> BuiltinApplication::create()
{
    return std::shared_ptr<BuiltinApplication>(new BuiltinApplication());
}

std::shared_ptr<BuiltinApplication> BuiltinApplication::createWindowless()
{
    return std::shared_ptr<BuiltinApplication>(new BuiltinApplication(true));
}

std::shared_ptr<Documents> BuiltinApplication::documents()
{
    requireAlive(*m_state);
    return std::make_shared<BuiltinDocuments>(m_state);
}

std::shared_ptr<Document> BuiltinApplication::activeDocument()
{
    return std::make_shared<BuiltinDocument>(m_state, requireActive(*m_state));
}

std::shared_ptr<Selection> BuiltinApplication::selection()
{
    requireActive(*m_state);
    return std::make_shared<BuiltinSelection>(m_state);
}

void BuiltinApplication::setVisible(bool visible)
{
    requireAlive(*m_state);
    m_state->show(visible);
}

bool BuiltinApplication::visible()
{
    requireAlive(*m_state);
    return m_state->visible;
}

bool BuiltinApplication::quit(int saveChanges)
{
    requireAlive(*m_state);
    const auto changes = saveChanges == DoNotSaveChanges ? wordprocessor::UnsavedChanges::Discard
                         : saveChanges == SaveChanges    ? wordprocessor::UnsavedChanges::Save
                                                         : wordprocessor::UnsavedChanges::Ask;
    return translated([&] { return m_state->quit(changes); });
}

void BuiltinApplication::printOut(const QString& copies, bool)
{
    const auto document = requireActive(*m_state);
    const int count = printCopies(copies);
    QString problem;
    const std::unique_ptr<QPrinter> printer = platform::openPrinter(&problem);
    if (!printer)
        throw AutomationError(problem);
    // Printing in the background is not needed: the document is small and
    // is sent to the print system at once.
    translated([&] { wordprocessor::printDocument(*document, *printer, count); });
}

bool BuiltinApplication::running() const
{
    return m_state->alive;
}

void BuiltinApplication::keepRecoveryCopies()
{
    if (m_state->alive && m_state->recovery)
        m_state->recovery->writeNow();
}

void BuiltinApplication::setEndedHandler(std::function<void()> handler)
{
    m_state->endedHandler = std::move(handler);
}

} // namespace word::builtin
