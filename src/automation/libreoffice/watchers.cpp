#include "automation/libreoffice/watchers.h"

namespace word::libreoffice {

void CloseWatcher::notifyClosing(const css::lang::EventObject& event)
{
    if (auto state = m_state.lock())
        state->documentClosed(Reference<css::frame::XModel>(event.Source, css::uno::UNO_QUERY));
}

void TerminateWatcher::notifyTermination(const css::lang::EventObject&)
{
    // The office goes (the user chose Exit in LibreOffice): nothing may be
    // asked of it any more.
    if (auto state = m_state.lock())
        state->userEnded();
}

} // namespace word::libreoffice
