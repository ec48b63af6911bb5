#include "automation/libreoffice/officeprocess.h"

#include "automation/automationerror.h"
#include "automation/libreoffice/uno.h"
#include "platform/documentlock.h"
#include "platform/spawn.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
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
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>


namespace word::libreoffice {

namespace {

using css::uno::Reference;

// Tells the owner once that the bridge went down.
class BridgeListener : public cppu::WeakImplHelper1<css::lang::XEventListener> {
public:
    explicit BridgeListener(std::shared_ptr<OfficeProcess::LostRelay> relay) : m_relay(std::move(relay)) {}
    void SAL_CALL disposing(const css::lang::EventObject&) override { m_relay->fire(); }

private:
    std::shared_ptr<OfficeProcess::LostRelay> m_relay;
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

using platform::kOfficeProfilePrefix;
using platform::kOfficeProfileLock;

// A new private profile folder, or empty.
QString makeProfileFolder()
{
    QByteArray pattern = QFile::encodeName(QDir::tempPath() + u'/' + QLatin1String(kOfficeProfilePrefix)) + "XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return QString();
    return QFile::decodeName(pattern);
}

// Takes the profile's lock: made under another name and put in place once
// held, so that a start cleaning up never finds it free meanwhile.
int lockProfile(const QString& profile)
{
    const QByteArray path = QFile::encodeName(profile + u'/' + QLatin1String(kOfficeProfileLock));
    const QByteArray making = path + ".new";
    const int fd = ::open(making.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX) != 0 || ::rename(making.constData(), path.constData()) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Whether the office of a profile folder has ended: nobody holds its lock.
// A folder without a lock is an old one, or one being made this moment.
bool profileLeft(const QFileInfo& folder)
{
    const QByteArray lock = QFile::encodeName(folder.absoluteFilePath() + u'/' + QLatin1String(kOfficeProfileLock));
    const int fd = ::open(lock.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT && folder.lastModified().secsTo(QDateTime::currentDateTime()) > 3600;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

// The office in a session of its own (see platform/spawn.h), so that ending
// its group ends the launcher and the office together.
pid_t spawnOffice(const QStringList& arguments)
{
    QList<QByteArray> argv{QFile::encodeName(OfficeProcess::programFolder() + QStringLiteral("/soffice"))};
    for (const QString& argument : arguments)
        argv << argument.toLocal8Bit();
    return platform::spawnInSession(argv);
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

void OfficeProcess::removeLeftProfiles()
{
    const QDir temporary(QDir::tempPath());
    for (const QFileInfo& folder : temporary.entryInfoList({QLatin1String(kOfficeProfilePrefix) + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (folder.ownerId() == ::getuid() && profileLeft(folder))
            QDir(folder.absoluteFilePath()).removeRecursively();
    }
}

void OfficeProcess::LostRelay::fire()
{
    std::function<void()> told;
    {
        const std::lock_guard lock(mutex);
        if (fired)
            return;
        fired = true;
        told = handler;
    }
    if (told)
        told();
}

void OfficeProcess::LostRelay::set(std::function<void()> lost)
{
    bool already;
    {
        const std::lock_guard lock(mutex);
        handler = lost;
        already = fired;
    }
    if (already && lost)
        lost();
}

std::unique_ptr<OfficeProcess> OfficeProcess::launch(bool headless)
{
    // An office that closes the connection is an error to report, not the
    // end of the program (writing to a closed pipe raises SIGPIPE).
    ::signal(SIGPIPE, SIG_IGN);
    if (!installed())
        throw AutomationError(QStringLiteral("没有找到 LibreOffice（%1 中没有 soffice）。请安装 LibreOffice Writer。")
                                  .arg(QDir::toNativeSeparators(programFolder())));
    removeLeftProfiles();
    std::unique_ptr<OfficeProcess> office(new OfficeProcess());
    office->m_headless = headless;
    office->m_profile = makeProfileFolder();
    if (office->m_profile.isEmpty())
        throw AutomationError(QStringLiteral("无法为 LibreOffice 建立临时文件夹：%1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    office->m_lock = lockProfile(office->m_profile);
    // The profile makes Word 97-2003 Writer's format for saving, so that
    // Writer's own Save As dialog offers .doc, and keeps it without asking.
    if (office->m_lock < 0 || !writeProfileSettings(office->m_profile))
        throw AutomationError(QStringLiteral("无法为 LibreOffice 写入设置：%1").arg(office->m_profile));

    office->m_pipe = uniquePipeName();
    QStringList args{QStringLiteral("--norestore"), QStringLiteral("--nologo"), QStringLiteral("--nodefault"),
                     QStringLiteral("--nolockcheck"),
                     QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(office->m_profile).toString(),
                     QStringLiteral("--accept=pipe,name=%1;urp;").arg(office->m_pipe)};
    if (headless)
        args.prepend(QStringLiteral("--headless"));
    office->m_pid = spawnOffice(args);
    if (office->m_pid <= 0)
        throw AutomationError(QStringLiteral("无法启动 LibreOffice：%1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    office->m_watchdog = std::make_unique<OfficeWatchdog>(office->m_pid, office->m_profile, office->m_lock);
    office->m_launched.start();
    return office;
}

bool OfficeProcess::tryConnect()
{
    if (m_context.is())
        return true;
    try {
        Reference<css::uno::XComponentContext> local = localContext();
        try {
            m_connection = css::connection::Connector::create(local)->connect(toUno(QStringLiteral("pipe,name=") + m_pipe));
        } catch (const css::connection::NoConnectException&) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                throw AutomationError(QStringLiteral("LibreOffice 启动后随即退出了（退出码 %1），无法使用。")
                                          .arg(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)));
            }
            return false; // not listening yet
        }
        Reference<css::bridge::XBridgeFactory2> bridges = css::bridge::BridgeFactory::create(local);
        Reference<css::bridge::XBridge> bridge =
            bridges->createBridge(rtl::OUString(), toUno(QStringLiteral("urp")), m_connection, nullptr);
        m_bridge = as<css::lang::XComponent>(bridge);
        m_bridge->addEventListener(new BridgeListener(m_relay));
        m_context = as<css::uno::XComponentContext>(
            bridge->getInstance(toUno(QStringLiteral("StarOffice.ComponentContext"))));
        return true;
    } catch (const css::uno::Exception&) {
        // The office closed the connection while we spoke to it, or never
        // answered properly: the owner ends what was started.
        throw AutomationError(QStringLiteral("LibreOffice 在启动时断开了连接，无法使用。"));
    }
}

void OfficeProcess::waitConnected(const Options& options)
{
    while (!tryConnect()) {
        if (m_launched.elapsed() > options.timeoutMs)
            throw AutomationError(
                QStringLiteral("LibreOffice 在 %1 秒内没有响应，已放弃启动。").arg(options.timeoutMs / 1000));
        if (options.waiting && !options.waiting())
            throw AutomationError(QStringLiteral("已取消启动 LibreOffice。"));
        QThread::msleep(50);
    }
}

void OfficeProcess::setLostHandler(std::function<void()> lost)
{
    m_relay->set(std::move(lost));
}

std::unique_ptr<OfficeProcess> OfficeProcess::start(const Options& options)
{
    std::unique_ptr<OfficeProcess> office = launch(options.headless);
    office->setLostHandler(options.lost);
    office->waitConnected(options);
    return office;
}

OfficeProcess::~OfficeProcess()
{
    if (!m_handedOver) {
        kill();
        removeProfile();
    }
    m_context.clear();
    m_bridge.clear();
    m_connection.clear();
    m_watchdog.reset();
    if (m_lock >= 0)
        ::close(m_lock);
}

bool OfficeProcess::running()
{
    if (m_pid <= 0)
        return false;
    int status = 0;
    const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
    if (done == 0)
        return true;
    if (done < 0 && errno != ECHILD) // (ECHILD: reaped elsewhere)
        return ::kill(m_pid, 0) == 0;
    m_pid = -1;
    return false;
}

void OfficeProcess::finish(int ms)
{
    // The office may still ask us for the clipboard on its way out: the
    // window system's requests are answered while waiting.
    QElapsedTimer clock;
    clock.start();
    while (running() && clock.elapsed() < ms) {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(20);
    }
    kill();
    m_context.clear();
    m_bridge.clear();
    m_connection.clear();
    removeProfile();
}

void OfficeProcess::kill()
{
    if (m_pid <= 0)
        return;
    ::kill(-m_pid, SIGKILL);
    QElapsedTimer clock;
    clock.start();
    while (running() && clock.elapsed() < 5000)
        QThread::msleep(10);
}

void OfficeProcess::handOver()
{
    m_handedOver = true;
    // The watchdog waits for the office to end, then removes the profile.
    if (m_watchdog)
        m_watchdog->keep();
}

void OfficeProcess::closeConnection()
{
    if (m_connection.is()) {
        try {
            m_connection->close();
        } catch (const css::uno::Exception&) {
        }
    }
}

void OfficeProcess::removeProfile()
{
    if (!m_profile.isEmpty())
        QDir(m_profile).removeRecursively();
    m_profile.clear();
}

} // namespace word::libreoffice
