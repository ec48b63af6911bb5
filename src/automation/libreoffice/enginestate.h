#pragma once
// What one LibreOffice instance holds for the handles handed out to callers:
// the office process, its desktop, the documents this instance opened, the
// active one, and where the selection is.

#include "automation/automationerror.h"
#include "automation/libreoffice/documentdata.h"
#include "automation/libreoffice/officeprocess.h"

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>

#include <QRect>
#include <QString>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace word::libreoffice {

using css::uno::Reference;

class OfficeRecovery;


class EngineState : public std::enable_shared_from_this<EngineState> {
public:
    std::unique_ptr<OfficeProcess> office;
    Reference<css::frame::XDesktop2> desktop;
    std::vector<DocPtr> documents;
    DocPtr active;
    bool visible = false;
    bool headless = false;
    int untitledCounter = 0;
    std::function<void()> endedHandler;
    std::unique_ptr<OfficeRecovery> recovery; // copies of unsaved work

    EngineState();
    ~EngineState();

    bool alive() const { return m_alive && !m_lost; }
    // Whether the office still runs; one found gone ends the instance now
    // (the owner is told before whoever asked goes on).
    bool stillRunning()
    {
        if (m_lost && m_alive && m_calls == 0 && m_walks == 0)
            end();
        return alive();
    }
    // Raises NotRunning once the office is gone. An office found gone here
    // ends the instance first (see runCall), so the owner hears of it before
    // the caller does.
    void requireAlive();
    DocPtr requireActive();

    // Where a document window opens when it has no size of its own.
    QRect windowArea;

    // Runs one call into LibreOffice: UNO's exceptions become
    // AutomationError, and a lost connection ends the instance.
    //
    // The call runs on a thread of its own while this thread goes on
    // handling the window system's requests (user input held back): Writer
    // asks other programs for the clipboard's contents while it works, and
    // would wait for ours forever. Nothing in `work` may touch a window.
    //
    // A call that takes longer than callLimitMs() has the user asked
    // whether to keep waiting or to end this LibreOffice.
    template <typename F>
    auto call(F&& work) -> decltype(work())
    {
        return callWithin(Patience::Ask, std::forward<F>(work));
    }
    // A call that waits for the user (Writer's own dialogs): no time limit.
    template <typename F>
    auto callWaitingForUser(F&& work) -> decltype(work())
    {
        return callWithin(Patience::WaitForUser, std::forward<F>(work));
    }
    // How long a call may take before the user is asked: 20 s, or
    // LUMETRA_LIBREOFFICE_CALL_SECONDS.
    static int callLimitMs();

    // Inside a call: the view cursor of a document (the insertion point the
    // user sees), its page style, the names of a table's cells; each asked
    // of Writer once a turn.
    Reference<css::text::XTextViewCursor> viewCursor(DocumentData& document);
    Reference<css::beans::XPropertySet> pageStyle(DocumentData& document);
    const std::vector<rtl::OUString>& cellNames(DocumentData& document, const Reference<css::text::XTextTable>& table);
    // A table's cells have changed (a merge): its names are asked again.
    void forgetCellNames(DocumentData& document, const Reference<css::text::XTextTable>& table);
    // Inside a call: a turn of calls on the document is under way. Its end
    // (once the program is back in its event loop with no call under way)
    // gives Writer what was saved up (column widths), lets it show the
    // document again, and forgets what the turn reused.
    void noteTurn(DocumentData& document);
    // Gives Writer now what the turn saved up: before the document is
    // stored or printed.
    void settle(DocumentData& document);
    // Inside a call: runs work that makes or shows a window on the office's
    // main thread (see mainthread.h).
    void onMainThread(const std::function<void()>& work);

    // Ends the instance on our side: closes what is left, ends the office,
    // tells the owner. Safe to call more than once.
    void end();
    // The office is the user's from now on: its windows stay open and it
    // outlives the program. The instance ends on our side without touching
    // the office, and the owner is not told (it let go).
    void handOver();
    // From any thread: the connection went down. The instance is ended on
    // the thread of the windows.
    void connectionLost();
    // A document's window was closed in LibreOffice (from any thread).
    void documentClosed(const Reference<css::frame::XModel>& model);
    // The user ended LibreOffice itself (Exit in Writer; from any thread).
    void userEnded();
    // Holds the end of the instance off while the engine walks its own
    // documents or copies, making calls on the way (an end would take them
    // away under the walk). An office lost meanwhile ends the instance as
    // soon as the last walk is over.
    class Walk {
    public:
        explicit Walk(EngineState& state) : m_state(state) { ++m_state.m_walks; }
        ~Walk()
        {
            if (--m_state.m_walks == 0 && m_state.m_lost && m_state.m_alive)
                m_state.endSoon();
        }
        Walk(const Walk&) = delete;
        Walk& operator=(const Walk&) = delete;

    private:
        EngineState& m_state;
    };

    // Runs `work` on the thread of the windows once no call is under way.
    void whenIdle(std::function<void(EngineState&)> work) { later(std::move(work)); }
    // What the user is told once the office ended by itself; given out once.
    QString takeEndNote() { return std::exchange(m_endNote, QString()); }

private:
    // What a call does once it has taken longer than callLimitMs().
    enum class Patience {
        Ask,         // asks the user whether to wait on or end the office
        WaitForUser, // waits: the office waits for the user
        GiveUp,      // ends the office (it does not even close)
    };
    template <typename F>
    auto callWithin(Patience patience, F&& work) -> decltype(work())
    {
        requireAlive();
        using Result = decltype(work());
        auto translated = [&]() -> Result {
            try {
                return work();
            } catch (const AutomationError&) {
                throw;
            } catch (const css::lang::DisposedException&) {
                connectionLost();
                throw AutomationError::notRunning();
            } catch (const css::uno::Exception& error) {
                throw translate(error);
            } catch (const std::exception& error) {
                throw AutomationError(QStringLiteral("LibreOffice 引擎出错：%1").arg(QString::fromLocal8Bit(error.what())));
            }
        };
        if constexpr (std::is_void_v<Result>) {
            runCall(translated, patience);
        } else {
            std::optional<Result> result;
            runCall([&] { result.emplace(translated()); }, patience);
            return std::move(*result);
        }
    }

    AutomationError translate(const css::uno::Exception& error);
    void runCall(const std::function<void()>& body, Patience patience);
    // Asks whether to keep waiting for a call that takes long; on No, ends
    // the office (the call then fails).
    void askAboutSlowCall(const std::atomic<bool>& done, int waitedMs);
    // Ends the office at once; calls under way fail.
    void abandonOffice();
    // Runs `work` on the thread of the windows once no call is under way.
    void later(std::function<void(EngineState&)> work);
    void endSoon();

    void endTurn();

    int m_calls = 0; // calls under way (the thread of the windows waits)
    int m_walks = 0; // see Walk
    std::atomic<bool> m_turnOpen{false};

    bool m_alive = true;
    bool m_handedOver = false;
    std::atomic<bool> m_userEnded{false};
    bool m_abandoned = false; // ended on the user's word, not responding
    QString m_endNote;
    std::atomic<bool> m_lost{false};
};

} // namespace word::libreoffice
