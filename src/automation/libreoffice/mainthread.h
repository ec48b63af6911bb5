#pragma once
// Runs work on LibreOffice's own main thread. Calls from us arrive on a
// thread of LibreOffice's pool; when one of them makes a window (a document
// loaded or shown), Writer's GTK layer asks the clipboard whether Paste is
// allowed from that thread, and can wait for ever for a main loop the main
// thread holds. Work handed to the main thread (as a callback that calls
// back into LibreOffice, which runs where the callback waits) does not.

#include <com/sun/star/uno/XComponentContext.hpp>

#include <functional>

namespace word::libreoffice {

// Runs `work` (calls into the office) on the office's main thread and waits
// for it. `lost` says when to stop waiting: the office is gone. Raises what
// `work` raised, or DisposedException when the office went meanwhile.
void onOfficeMainThread(const css::uno::Reference<css::uno::XComponentContext>& context,
                        const std::function<void()>& work, const std::function<bool()>& lost);

} // namespace word::libreoffice
