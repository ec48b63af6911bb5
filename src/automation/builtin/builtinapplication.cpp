#include "automation/builtin/builtinapplication.h"

#include "automation/builtin/builtinobjects.h"
#include "automation/builtin/docfiles.h"
#include "automation/builtin/printing.h"
#include "automation/builtin/recoverycopies.h"
#include "automation/savedialog.h"
#include "platform/printdestination.h"

#include <QPrinter>
#include "automation/builtin/documentwindow.h"

namespace word::builtin {

BuiltinApplication::BuiltinApplication() : m_state(std::make_shared<EngineState>()) {}

BuiltinApplication::~BuiltinApplication()
{
    // An application object that is let go without quit keeps its window
    // open, as an external word processor would keep running; one that was
    // never shown has nothing the user could see, so it ends with the object.
    if (m_state->alive && !m_state->visible) {
        m_state->endedHandler = nullptr; // its owner has let it go already
        m_state->end();
    }
}

std::shared_ptr<BuiltinApplication> BuiltinApplication::create()
{
    return std::shared_ptr<BuiltinApplication>(new BuiltinApplication());
}

std::shared_ptr<Documents> BuiltinApplication::documents()
{
    m_state->requireAlive();
    return std::make_shared<BuiltinDocuments>(m_state);
}

std::shared_ptr<Document> BuiltinApplication::activeDocument()
{
    return std::make_shared<BuiltinDocument>(m_state, m_state->requireActive());
}

std::shared_ptr<Selection> BuiltinApplication::selection()
{
    m_state->requireActive();
    return std::make_shared<BuiltinSelection>(m_state);
}

void BuiltinApplication::setVisible(bool visible)
{
    m_state->requireAlive();
    m_state->visible = visible;
    if (visible) {
        if (!m_state->window)
            m_state->window = new DocumentWindow(m_state);
        if (m_state->active)
            m_state->window->showDocument(m_state->active);
        m_state->window->show();
        m_state->window->raise();
    } else if (m_state->window) {
        m_state->window->hide();
    }
}

bool BuiltinApplication::visible()
{
    m_state->requireAlive();
    return m_state->visible;
}

bool BuiltinApplication::quit(int saveChanges)
{
    m_state->requireAlive();
    if (!settleUnsavedChanges(*m_state, saveChanges))
        return false;
    m_state->end();
    return true;
}

void BuiltinApplication::printOut(const QString& copies, bool)
{
    const auto document = m_state->requireActive();
    const int count = printCopies(copies);
    QString problem;
    const std::unique_ptr<QPrinter> printer = platform::openPrinter(&problem);
    if (!printer)
        throw AutomationError(problem);
    // Printing in the background is not needed: the document is small and
    // is sent to the print system at once.
    printDocument(*document, *printer, count);
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
