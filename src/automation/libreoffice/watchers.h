#pragma once
// Listeners LibreOffice calls back on its own threads: a document's window
// closing, the office terminating. They only tell the engine state, which
// does its work on the thread of the windows.

#include "automation/libreoffice/enginestate.h"

#include <com/sun/star/frame/XTerminateListener.hpp>
#include <com/sun/star/util/XCloseListener.hpp>
#include <cppuhelper/implbase1.hxx>

namespace word::libreoffice {

class CloseWatcher : public cppu::WeakImplHelper1<css::util::XCloseListener> {
public:
    explicit CloseWatcher(std::weak_ptr<EngineState> state) : m_state(std::move(state)) {}
    void SAL_CALL queryClosing(const css::lang::EventObject&, sal_Bool) override {}
    void SAL_CALL notifyClosing(const css::lang::EventObject& event) override;
    void SAL_CALL disposing(const css::lang::EventObject&) override {}

private:
    std::weak_ptr<EngineState> m_state;
};

class TerminateWatcher : public cppu::WeakImplHelper1<css::frame::XTerminateListener> {
public:
    explicit TerminateWatcher(std::weak_ptr<EngineState> state) : m_state(std::move(state)) {}
    void SAL_CALL queryTermination(const css::lang::EventObject&) override {}
    void SAL_CALL notifyTermination(const css::lang::EventObject&) override;
    void SAL_CALL disposing(const css::lang::EventObject&) override {}

private:
    std::weak_ptr<EngineState> m_state;
};

} // namespace word::libreoffice
