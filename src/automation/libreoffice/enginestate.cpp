#include "automation/libreoffice/enginestate.h"

#include "automation/callguard.h"
#include "automation/libreoffice/callthread.h"
#include "automation/libreoffice/columnfit.h"
#include "automation/libreoffice/mainthread.h"
#include "automation/libreoffice/officerecovery.h"
#include "automation/libreoffice/uno.h"
#include "common/dialogue.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>

namespace word::libreoffice {

EngineState::EngineState() = default;

EngineState::~EngineState() = default;

void EngineState::requireAlive()
{
    if (!stillRunning())
        throw AutomationError::notRunning();
}

DocPtr EngineState::requireActive()
{
    requireAlive();
    if (!active)
        throw AutomationError(QStringLiteral("当前没有打开的文档。"));
    return active;
}

Reference<css::text::XTextViewCursor> EngineState::viewCursor(DocumentData& document)
{
    noteTurn(document);
    if (!document.turn.viewCursor.is()) {
        const auto model = as<css::frame::XModel>(document.model);
        const auto supplier = as<css::text::XTextViewCursorSupplier>(model->getCurrentController());
        document.turn.viewCursor = supplier->getViewCursor();
    }
    return document.turn.viewCursor;
}

Reference<css::beans::XPropertySet> EngineState::pageStyle(DocumentData& document)
{
    noteTurn(document);
    if (!document.turn.pageStyle.is()) {
        rtl::OUString name;
        as<css::beans::XPropertySet>(viewCursor(document))->getPropertyValue(toUno(QStringLiteral("PageStyleName"))) >>= name;
        const auto families = as<css::style::XStyleFamiliesSupplier>(document.model)->getStyleFamilies();
        const auto pages = as<css::container::XNameAccess>(families->getByName(toUno(QStringLiteral("PageStyles"))));
        document.turn.pageStyle = as<css::beans::XPropertySet>(pages->getByName(name));
    }
    return document.turn.pageStyle;
}

const std::vector<rtl::OUString>& EngineState::cellNames(DocumentData& document,
                                                          const Reference<css::text::XTextTable>& table)
{
    noteTurn(document);
    auto& names = document.turn.cellNames[table.get()];
    if (names.empty()) {
        const css::uno::Sequence<rtl::OUString> all = table->getCellNames();
        names.assign(all.begin(), all.end());
    }
    return names;
}

void EngineState::forgetCellNames(DocumentData& document, const Reference<css::text::XTextTable>& table)
{
    document.turn.cellNames.erase(table.get());
}

void EngineState::noteTurn(DocumentData& document)
{
    // Writer repaints a document it shows after every change: while a turn
    // of changes runs, it waits.
    if (visible && !document.turn.locked) {
        as<css::frame::XModel>(document.model)->lockControllers();
        document.turn.locked = true;
    }
    if (!m_turnOpen.exchange(true))
        later([](EngineState& self) { self.endTurn(); });
}

void EngineState::endTurn()
{
    m_turnOpen = false;
    const Walk walk(*this);
    for (const DocPtr& document : documents) {
        try {
            settle(*document);
            if (document->turn.locked && m_alive && !m_lost)
                call([&] { as<css::frame::XModel>(document->model)->unlockControllers(); });
        } catch (const AutomationError&) {
            // Gone meanwhile: its end is on its way.
        }
        document->turn = TurnCache();
    }
}

void EngineState::settle(DocumentData& document)
{
    for (FittedTable& fitted : document.fitted)
        if (std::exchange(fitted.changed, false) && m_alive && !m_lost)
            applyColumnShares(*this, fitted);
}

void EngineState::onMainThread(const std::function<void()>& work)
{
    onOfficeMainThread(office->context(), work, [this] { return m_lost.load(); });
}

AutomationError EngineState::translate(const css::uno::Exception& error)
{
    // A call into a LibreOffice that has gone fails with a disposed bridge
    // (which LibreOffice does not always raise as DisposedException).
    const QString message = fromUno(error.Message);
    if (m_lost || (office && !office->running()) || message.contains(QLatin1String("disposed"))) {
        connectionLost();
        return AutomationError::notRunning();
    }
    // LibreOffice's messages end with where in its sources they came from;
    // that part means nothing to a user.
    QString detail = message;
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

int EngineState::callLimitMs()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("LUMETRA_LIBREOFFICE_CALL_SECONDS", &ok);
    return (ok && seconds > 0 ? seconds : 20) * 1000;
}

void EngineState::runCall(const std::function<void()>& body, Patience patience)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (insideCall || !application || QThread::currentThread() != application->thread()) {
        body();
        return;
    }
    struct Sync {
        std::mutex mutex;
        std::condition_variable answered;
        std::atomic<bool> done{false};
        std::exception_ptr error;
    } sync;
    const CallUnderWay underWay;
    ++m_calls;
    // (`application` by value: it is used after the waiting side has gone.)
    const auto job = [&, application] {
        insideCall = true;
        try {
            body();
        } catch (...) {
            sync.error = std::current_exception();
        }
        insideCall = false;
        {
            // Told while holding the lock: the waiting side cannot see the
            // call done and go (taking `sync` with it) before this is over.
            const std::lock_guard lock(sync.mutex);
            sync.done = true;
            sync.answered.notify_one();
        }
        QMetaObject::invokeMethod(application, [] {}, Qt::QueuedConnection); // wakes the loop below
    };
    std::thread spare;
    if (!startOnCallThread(job))
        spare = std::thread(job);
    // Most calls are answered within a few milliseconds: those are waited
    // for without turning the event loop.
    {
        std::unique_lock lock(sync.mutex);
        sync.answered.wait_for(lock, std::chrono::milliseconds(3), [&] { return sync.done.load(); });
    }
    if (!sync.done) {
        // Wakes the loop now and then to look at the clock.
        QTimer tick;
        tick.start(200);
        QElapsedTimer clock;
        clock.start();
        while (!sync.done) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
            if (patience != Patience::WaitForUser && !sync.done && clock.elapsed() > callLimitMs()) {
                if (patience == Patience::GiveUp)
                    abandonOffice();
                else
                    askAboutSlowCall(sync.done, int(clock.elapsed()));
                clock.restart();
            }
        }
    }
    {
        const std::lock_guard lock(sync.mutex); // the call side is done with it
    }
    if (spare.joinable())
        spare.join();
    const std::exception_ptr error = sync.error;
    // What the call changed is kept in the next recovery copies (a call that
    // changed nothing costs a look at the document's modified state).
    if (!error && recovery)
        recovery->changed();
    --m_calls;
    if (error) {
        // The office went under this call: the instance ends now, before
        // the caller hears of it, so that what the user is told comes once
        // and with where the work was kept.
        if (m_lost && m_calls == 0 && m_alive && m_walks == 0)
            end();
        std::rethrow_exception(error);
    }
}

void EngineState::askAboutSlowCall(const std::atomic<bool>& done, int waitedMs)
{
    // Only where someone can answer: a program without windows waits on.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    dialogue::Message question{
        QStringLiteral("LibreOffice 已经 %1 秒没有响应。\n\n要继续等待吗？选“否”将结束这个 LibreOffice；"
                       "没有保存的修改可以从恢复副本中找回。")
            .arg(waitedMs / 1000),
        QStringLiteral("LibreOffice"), QMessageBox::Yes | QMessageBox::No, QMessageBox::Warning, QMessageBox::Yes};
    question.over = [&done] { return done.load(); };
    if (dialogue::show(QApplication::activeWindow(), question) == QMessageBox::No && !done) {
        m_abandoned = true;
        abandonOffice();
    }
}

void EngineState::abandonOffice()
{
    // The call fails once the connection breaks; so does every other.
    connectionLost();
    if (office) {
        office->kill();
        office->closeConnection();
    }
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

void EngineState::userEnded()
{
    m_userEnded = true;
    connectionLost();
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

void EngineState::handOver()
{
    if (!m_alive)
        return;
    // The user's Writer shows its documents again, whatever turn was under
    // way.
    {
        const Walk walk(*this);
        for (const DocPtr& document : documents) {
            if (!document->turn.locked || m_lost)
                continue;
            try {
                call([&] { as<css::frame::XModel>(document->model)->unlockControllers(); });
            } catch (const AutomationError&) {
            }
            document->turn.locked = false;
        }
    }
    if (m_lost) {
        // Gone meanwhile: nothing is left to hand over, and its end keeps
        // the work apart as any loss does.
        end();
        return;
    }
    m_alive = false;
    m_handedOver = true;
    endedHandler = nullptr; // its owner let go
    recovery.reset(); // the work is in the user's Writer now
    documents.clear();
    active.reset();
    desktop.clear();
    if (office)
        office->handOver();
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
        }, Patience::GiveUp);
    }
    if (lost && !m_userEnded) {
        const QStringList kept = recovery ? recovery->keepApart() : QStringList();
        m_endNote = m_abandoned ? QStringLiteral("没有响应的 LibreOffice 已经结束，这个课程表已经关闭。")
                                : QStringLiteral("LibreOffice 意外结束了，这个课程表已经关闭。");
        if (!kept.isEmpty())
            m_endNote += QStringLiteral("\n\n没有保存的修改已保存为：\n%1").arg(kept.join(u'\n'));
    }
    recovery.reset(); // ended as it should: no copy is left behind
    documents.clear();
    active.reset();
    desktop.clear();
    if (office)
        office->finish(lost ? 0 : 10000);
    if (auto handler = std::exchange(endedHandler, {}))
        handler();
}

} // namespace word::libreoffice
