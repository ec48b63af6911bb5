#pragma once
// One LibreOffice process of our own: started with a private user profile
// (so a LibreOffice the user already runs is left alone, and two instances
// never share one), reached over a named pipe, and ended with the instance.

#include <QString>
#include <QTemporaryDir>

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <functional>
#include <memory>

class QProcess;

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
    // message for the user when it is not installed, does not start, dies or
    // does not answer in time.
    static std::unique_ptr<OfficeProcess> start(const Options& options);
    ~OfficeProcess();

    css::uno::Reference<css::uno::XComponentContext> context() const { return m_context; }
    // The process id of the office itself (for tests), or 0.
    qint64 processId() const;
    // Whether the process still runs.
    bool running() const;
    // Waits up to `ms` for the process to end by itself (after terminate),
    // then kills it; removes the private profile.
    void finish(int ms);

    // The folder the engine expects LibreOffice in.
    static QString programFolder();
    static bool installed();

private:
    OfficeProcess() = default;
    void kill();

    QTemporaryDir m_profile{QDir::tempPath() + QStringLiteral("/lumetra-libreoffice-XXXXXX")};
    QProcess* m_process = nullptr;
    css::uno::Reference<css::uno::XComponentContext> m_context;
    css::uno::Reference<css::lang::XComponent> m_bridge;
};

} // namespace word::libreoffice
