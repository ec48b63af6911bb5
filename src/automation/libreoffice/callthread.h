#pragma once
// The thread the LibreOffice engine's calls run on while the thread of the
// windows keeps answering the window system (see EngineState::call). One
// thread, kept for the program's life: starting a thread for every call
// cost as much as a short call itself.

#include <functional>

namespace word::libreoffice {

// Runs `job` on the call thread and returns at once; `job` must not throw.
// False when the thread is busy with another job (a call made while one
// waits): the caller then runs it on a thread of its own.
bool startOnCallThread(std::function<void()> job);

} // namespace word::libreoffice
