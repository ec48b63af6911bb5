#include "automation/libreoffice/officeprocess.h"

#include "automation/automationerror.h"
#include "automation/libreoffice/uno.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QUrl>

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/lang/XEventListener.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace word::libreoffice {

namespace {

using css::uno::Reference;

// Tells the owner once that the bridge went down.
class BridgeListener : public cppu::WeakImplHelper1<css::lang::XEventListener> {
public:
    explicit BridgeListener(std::function<void()> lost) : m_lost(std::move(lost)) {}
    void SAL_CALL disposing(const css::lang::EventObject&) override
    {
        if (!m_told.exchange(true) && m_lost)
            m_lost();
    }

private:
    std::function<void()> m_lost;
    std::atomic<bool> m_told{false};
};

// Our side of UNO: one context for the whole program, made from the
// installation's own bootstrap files.
Reference<css::uno::XComponentContext> localContext()
{
    static Reference<css::uno::XComponentContext> context = [] {
        if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
            qputenv("URE_BOOTSTRAP", QByteArray("vnd.sun.star.pathname:")
                                         + QFile::encodeName(OfficeProcess::programFolder() + "/fundamentalrc"));
        return cppu::defaultBootstrap_InitialComponentContext();
    }();
    return context;
}

QString uniquePipeName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("lumetra-%1-%2-%3")
        .arg(QCoreApplication::applicationPid())
        .arg(++counter)
        .arg(QString::number(quintptr(&counter) ^ quintptr(QDateTime::currentMSecsSinceEpoch()), 36));
}

bool writeProfileSettings(const QString& profile)
{
    if (!QDir().mkpath(profile + QStringLiteral("/user")))
        return false;
    QFile file(profile + QStringLiteral("/user/registrymodifications.xcu"));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Setup/Office/Factories/org.openoffice.Setup:Factory['com.sun.star.text.TextDocument']"><prop oor:name="ooSetupFactoryDefaultFilter" oor:op="fuse"><value>MS Word 97</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Save/Document"><prop oor:name="WarnAlienFormat" oor:op="fuse"><value>false</value></prop></item>
</oor:items>
)");
    return file.flush();
}

} // namespace

QString OfficeProcess::programFolder()
{
    const QString configured = qEnvironmentVariable("LUMETRA_LIBREOFFICE_PROGRAM");
    return configured.isEmpty() ? QStringLiteral(LUMETRA_LIBREOFFICE_PROGRAM) : configured;
}

bool OfficeProcess::installed()
{
    return QFileInfo(programFolder() + QStringLiteral("/soffice")).isExecutable();
}

std::unique_ptr<OfficeProcess> OfficeProcess::start(const Options& options)
{
    if (!installed())
        throw AutomationError(QStringLiteral("没有找到 LibreOffice（%1 中没有 soffice）。请安装 LibreOffice Writer。")
                                  .arg(QDir::toNativeSeparators(programFolder())));
    std::unique_ptr<OfficeProcess> office(new OfficeProcess());
    if (!office->m_profile.isValid())
        throw AutomationError(QStringLiteral("无法为 LibreOffice 建立临时文件夹：%1").arg(office->m_profile.errorString()));

    // The profile makes Word 97-2003 Writer's format for saving, so that
    // Writer's own Save As dialog offers .doc, and keeps it without asking.
    if (!writeProfileSettings(office->m_profile.path()))
        throw AutomationError(QStringLiteral("无法为 LibreOffice 写入设置：%1").arg(office->m_profile.path()));

    const QString pipe = uniquePipeName();
    QStringList args{QStringLiteral("--norestore"), QStringLiteral("--nologo"), QStringLiteral("--nodefault"),
                     QStringLiteral("--nolockcheck"),
                     QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(office->m_profile.path()).toString(),
                     QStringLiteral("--accept=pipe,name=%1;urp;").arg(pipe)};
    if (options.headless)
        args.prepend(QStringLiteral("--headless"));
    office->m_process = new QProcess();
    office->m_process->setProgram(programFolder() + QStringLiteral("/soffice"));
    office->m_process->setArguments(args);
    office->m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    // Its own process group, so that ending it ends the launcher and the
    // office together.
    office->m_process->setChildProcessModifier([] { ::setsid(); });
    office->m_process->start();
    if (!office->m_process->waitForStarted(10000))
        throw AutomationError(QStringLiteral("无法启动 LibreOffice：%1").arg(office->m_process->errorString()));

    Reference<css::uno::XComponentContext> local = localContext();
    Reference<css::connection::XConnector> connector = css::connection::Connector::create(local);
    Reference<css::connection::XConnection> connection;
    QElapsedTimer clock;
    clock.start();
    while (!connection.is()) {
        try {
            connection = connector->connect(toUno(QStringLiteral("pipe,name=") + pipe));
            break;
        } catch (const css::connection::NoConnectException&) {
        }
        if (office->m_process->state() == QProcess::NotRunning) {
            const int code = office->m_process->exitCode();
            throw AutomationError(QStringLiteral("LibreOffice 启动后随即退出了（退出码 %1），无法使用。").arg(code));
        }
        if (clock.elapsed() > options.timeoutMs) {
            office->kill();
            throw AutomationError(
                QStringLiteral("LibreOffice 在 %1 秒内没有响应，已放弃启动。").arg(options.timeoutMs / 1000));
        }
        if (options.waiting && !options.waiting()) {
            office->kill();
            throw AutomationError(QStringLiteral("已取消启动 LibreOffice。"));
        }
        QThread::msleep(50);
    }

    Reference<css::bridge::XBridgeFactory2> bridges = css::bridge::BridgeFactory::create(local);
    Reference<css::bridge::XBridge> bridge = bridges->createBridge(rtl::OUString(), toUno(QStringLiteral("urp")),
                                                                   connection, nullptr);
    office->m_bridge = as<css::lang::XComponent>(bridge);
    office->m_bridge->addEventListener(new BridgeListener(options.lost));
    office->m_context = as<css::uno::XComponentContext>(
        bridge->getInstance(toUno(QStringLiteral("StarOffice.ComponentContext"))));
    return office;
}

OfficeProcess::~OfficeProcess()
{
    if (running())
        kill();
    delete m_process;
}

qint64 OfficeProcess::processId() const
{
    return m_process ? m_process->processId() : 0;
}

bool OfficeProcess::running() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

void OfficeProcess::finish(int ms)
{
    // The office may still ask us for the clipboard on its way out: the
    // window system's requests are answered while waiting.
    QElapsedTimer clock;
    clock.start();
    while (m_process && m_process->state() != QProcess::NotRunning && clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_process->waitForFinished(20);
    }
    kill();
    m_context.clear();
    m_bridge.clear();
    m_profile.remove();
}

void OfficeProcess::kill()
{
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return;
    ::kill(-pid_t(m_process->processId()), SIGKILL);
    m_process->waitForFinished(5000);
}

} // namespace word::libreoffice
