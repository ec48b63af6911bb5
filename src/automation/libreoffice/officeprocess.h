#pragma once
// One LibreOffice process of our own: started with a private user profile
// (so a LibreOffice the user already runs is left alone, and two instances
// never share one), reached over a named pipe, and ended with the instance
// or, when the user is handed it, left running.
//
// A watchdog (officewatchdog.h) ends the office and removes its profile
// when the program ends without doing so itself; each start removes the
// profiles of offices that are gone.

#include "automation/libreoffice/officewatchdog.h"

#include <QElapsedTimer>
#include <QString>

#include <com/sun/star/connection/XConnection.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <functional>
#include <memory>
#include <mutex>
#include <sys/types.h>

namespace word::libreoffice {

class OfficeProcess {
public:
    struct Options {
        // No windows at all (no display, or tests).
        bool headless = false;
        // How long to wait for the first answer.
        int timeoutMs = 60000;
        // Called while waiting, about every 50 ms; returning false gives up
        // (the user cancelled).
        std::function<bool()> waiting;
        // Called once, from any thread, when the connection is lost: the
        // process ended or was killed.
        std::function<void()> lost;
    };

    // Starts LibreOffice and connects to it; raises AutomationError with a
    // message for the user when it is not installed, does not start, dies,
    // closes the connection or does not answer in time.
    static std::unique_ptr<OfficeProcess> start(const Options& options);
    // The same in steps, for an office started ahead of need: starts the
    // process (raising AutomationError when it cannot), then connects.
    static std::unique_ptr<OfficeProcess> launch(bool headless);
    // One try: true once connected, false while the office does not listen
    // yet; raises AutomationError when it ended or dropped the connection.
    bool tryConnect();
    // Tries until connected, within options.timeoutMs of the launch.
    void waitConnected(const Options& options);
    // Who is told when the connection is lost (from any thread); told at
    // once when it was lost before.
    void setLostHandler(std::function<void()> lost);
    bool headless() const { return m_headless; }
    bool connected() const { return m_context.is(); }

    // Tells the owner, once, that the bridge went down.
    struct LostRelay {
        std::mutex mutex;
        std::function<void()> handler;
        bool fired = false;
        void fire();
        void set(std::function<void()> lost);
    };
    // Ends the office unless it was handed over.
    ~OfficeProcess();

    css::uno::Reference<css::uno::XComponentContext> context() const { return m_context; }
    // The office's process (and process group), or 0.
    qint64 processId() const { return m_pid > 0 ? m_pid : 0; }
    // Whether the process still runs.
    bool running();
    // Waits up to `ms` for the process to end by itself (after terminate),
    // then kills it; removes the private profile.
    void finish(int ms);
    // Kills the office at once (it does not answer); the connection breaks.
    void kill();
    // The office is the user's from now on: it outlives us, and its profile
    // stays until it has ended.
    void handOver();
    // Breaks the connection from our side, as when the office closes its
    // pipe (for tests).
    void closeConnection();

    // The folder the engine expects LibreOffice in.
    static QString programFolder();
    static bool installed();
    // Removes the private profiles of offices that have ended (left behind
    // by a program that was killed, or by an office handed to the user).
    static void removeLeftProfiles();

private:
    OfficeProcess() = default;
    void removeProfile();

    QString m_profile;
    QString m_pipe;
    bool m_headless = false;
    QElapsedTimer m_launched;
    std::shared_ptr<LostRelay> m_relay = std::make_shared<LostRelay>();
    int m_lock = -1; // the profile's lock, held while the office may run
    pid_t m_pid = -1;
    bool m_handedOver = false;
    std::unique_ptr<OfficeWatchdog> m_watchdog;
    css::uno::Reference<css::uno::XComponentContext> m_context;
    css::uno::Reference<css::lang::XComponent> m_bridge;
    css::uno::Reference<css::connection::XConnection> m_connection;
};

} // namespace word::libreoffice
