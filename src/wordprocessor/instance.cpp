#include "wordprocessor/instance.h"

#include "wordprocessor/docfiles.h"
#include "wordprocessor/documentwindow.h"
#include "wordprocessor/recoverycopies.h"

#include <utility>

namespace wordprocessor {

Instance::Instance(bool windowless)
    : windowless(windowless), recovery(windowless ? nullptr : std::make_unique<RecoveryCopies>())
{
}

Instance::~Instance() = default;

std::shared_ptr<DocumentData> Instance::addNew()
{
    auto document = newDocument(QStringLiteral("文档%1").arg(++untitledCounter));
    add(document);
    return document;
}

void Instance::add(const std::shared_ptr<DocumentData>& document)
{
    documents.push_back(document);
    if (recovery)
        recovery->watch(document);
    activate(document);
}

void Instance::activate(const std::shared_ptr<DocumentData>& document)
{
    active = document;
    if (window)
        window->showDocument(document);
}

void Instance::show(bool shown)
{
    visible = shown;
    if (windowless)
        return;
    if (shown) {
        if (!window)
            window = new DocumentWindow(shared_from_this());
        if (active)
            window->showDocument(active);
        window->show();
        window->raise();
    } else if (window) {
        window->hide();
    }
}

bool Instance::save(DocumentData& document)
{
    const bool saved = saveDocument(document, window);
    if (saved && window)
        window->refresh();
    return saved;
}

void Instance::pageChanged(const std::shared_ptr<DocumentData>& document)
{
    applyPage(*document);
    if (window)
        window->pageChanged(document);
}

bool Instance::quit(UnsavedChanges changes)
{
    if (!settleUnsavedChanges(*this, changes))
        return false;
    end();
    return true;
}

void Instance::end()
{
    if (!alive)
        return;
    alive = false;
    visible = false;
    if (window) {
        DocumentWindow* w = window;
        window = nullptr;
        w->closeForQuit();
    }
    recovery.reset(); // ended as it should: no copy is left behind
    active.reset();
    for (auto& document : documents) {
        closeProgramEdit(*document);
        document->cursor = QTextCursor();
        document->text.reset();
    }
    documents.clear();
    // Last, as the handler may let go of the object that owns the instance.
    if (auto handler = std::exchange(endedHandler, {}))
        handler();
}

} // namespace wordprocessor
