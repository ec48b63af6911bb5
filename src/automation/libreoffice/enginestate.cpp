#include "automation/libreoffice/enginestate.h"

#include "automation/libreoffice/uno.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <exception>
#include <thread>

#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>

namespace word::libreoffice {

void EngineState::requireAlive() const
{
    if (!alive())
        throw AutomationError::notRunning();
}

DocPtr EngineState::requireActive() const
{
    requireAlive();
    if (!active)
        throw AutomationError(QStringLiteral("当前没有打开的文档。"));
    return active;
}

Reference<css::text::XTextViewCursor> EngineState::viewCursor(const DocumentData& document) const
{
    const auto model = as<css::frame::XModel>(document.model);
    const auto supplier = as<css::text::XTextViewCursorSupplier>(model->getCurrentController());
    return supplier->getViewCursor();
}

AutomationError EngineState::translate(const css::uno::Exception& error)
{
    // A call into a LibreOffice that has gone fails with a disposed bridge.
    if (office && !office->running()) {
        connectionLost();
        return AutomationError::notRunning();
    }
    // LibreOffice's messages end with where in its sources they came from;
    // that part means nothing to a user.
    QString detail = fromUno(error.Message);
    detail = detail.left(detail.indexOf(QLatin1String(" at ./"))).trimmed();
    return AutomationError(detail.isEmpty() ? QStringLiteral("LibreOffice 拒绝了这个操作。")
                                            : QStringLiteral("LibreOffice 拒绝了这个操作：%1").arg(detail));
}

void EngineState::connectionLost()
{
    if (m_lost.exchange(true))
        return;
    endSoon();
}

namespace {
thread_local bool insideCall = false;
} // namespace

void EngineState::runCall(const std::function<void()>& body)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (insideCall || !application || QThread::currentThread() != application->thread()) {
        body();
        return;
    }
    std::exception_ptr error;
    std::atomic<bool> done{false};
    ++m_calls;
    std::thread worker([&] {
        insideCall = true;
        try {
            body();
        } catch (...) {
            error = std::current_exception();
        }
        done = true;
        QMetaObject::invokeMethod(application, [] {}, Qt::QueuedConnection); // wakes the loop below
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    worker.join();
    --m_calls;
    if (error)
        std::rethrow_exception(error);
}

void EngineState::later(std::function<void(EngineState&)> work)
{
    std::weak_ptr<EngineState> weak = weak_from_this();
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [weak, work = std::move(work)] {
            auto self = weak.lock();
            if (!self)
                return;
            if (self->m_calls > 0) // not in the middle of a call: try again shortly
                QTimer::singleShot(50, QCoreApplication::instance(), [weak, work] {
                    if (auto again = weak.lock())
                        again->later(work);
                });
            else
                work(*self);
        },
        Qt::QueuedConnection);
}

void EngineState::endSoon()
{
    later([](EngineState& self) { self.end(); });
}

void EngineState::documentClosed(const Reference<css::frame::XModel>& model)
{
    later([model](EngineState& self) {
        if (!self.m_alive)
            return;
        auto& list = self.documents;
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (as<css::frame::XModel>((*it)->model) == model) {
                (*it)->closed = true;
                if (self.active == *it)
                    self.active.reset();
                list.erase(it);
                break;
            }
        }
        // The last window closed by hand ends the word processor, as
        // closing the window of the built-in one does.
        if (list.empty())
            self.end();
        else if (!self.active)
            self.active = list.back();
    });
}

void EngineState::end()
{
    if (!m_alive)
        return;
    m_alive = false;
    const bool lost = m_lost; // (our own terminate below is also reported)
    if (!lost) {
        // Nothing is asked at this point: unsaved changes were settled by
        // quit, or the user closed the windows in LibreOffice itself.
        runCall([this] {
            for (const auto& document : documents) {
                try {
                    as<css::util::XModifiable>(document->model)->setModified(false);
                    as<css::util::XCloseable>(document->model)->close(true);
                } catch (const css::uno::Exception&) {
                }
            }
            try {
                if (desktop.is())
                    desktop->terminate();
            } catch (const css::uno::Exception&) {
            }
        });
    }
    documents.clear();
    active.reset();
    desktop.clear();
    if (office)
        office->finish(lost ? 0 : 10000);
    if (auto handler = std::exchange(endedHandler, {}))
        handler();
}

} // namespace word::libreoffice
