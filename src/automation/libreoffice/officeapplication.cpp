#include "automation/libreoffice/officeapplication.h"

#include "automation/libreoffice/documentobjects.h"
#include "automation/libreoffice/enginestate.h"
#include "automation/libreoffice/officerecovery.h"
#include "automation/libreoffice/spareoffice.h"
#include "automation/libreoffice/uno.h"
#include "automation/libreoffice/watchers.h"
#include "automation/callguard.h"
#include "automation/checks.h"
#include "common/documentfiles.h"
#include "platform/keptfiles.h"
#include "platform/printdestination.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <com/sun/star/view/XPrintable.hpp>

namespace word::libreoffice {

using css::uno::Any;

namespace {

// No display to show Writer on: the office runs without windows.
bool runHeadless()
{
    if (qEnvironmentVariableIntValue("LUMETRA_LIBREOFFICE_HEADLESS") == 1)
        return true;
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

// "Starting LibreOffice" for the user, shown once the start takes a moment.
class StartProgress {
public:
    bool waiting()
    {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            return true;
        // The user's clicks and keys wait until the start is over: a second
        // press of the button that started it must not start another.
        if (!m_dialog && m_clock.elapsed() > 300) {
            m_dialog = std::make_unique<QProgressDialog>(QStringLiteral("正在启动 LibreOffice，请稍候……"),
                                                         QStringLiteral("取消"), 0, 0);
            m_dialog->setObjectName(QStringLiteral("libreOfficeStarting"));
            m_dialog->setWindowTitle(QStringLiteral("LibreOffice"));
            m_dialog->setWindowModality(Qt::ApplicationModal);
            m_dialog->setMinimumDuration(0);
            m_dialog->show();
        }
        // Once the modal progress is up, it takes the input (its Cancel).
        QCoreApplication::processEvents(m_dialog ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        return !(m_dialog && m_dialog->wasCanceled());
    }

private:
    QElapsedTimer m_clock = [] { QElapsedTimer t; t.start(); return t; }();
    std::unique_ptr<QProgressDialog> m_dialog;
};

// Writer's PDF export stands in for a printer; copies are the same pages
// over again, joined by poppler's pdfunite.
void printToPdf(EngineState& state, DocumentData& document, const QString& target, int copies)
{
    state.settle(document);
    QTemporaryDir folder;
    const QString single = copies == 1 ? target : folder.filePath(QStringLiteral("copy.pdf"));
    state.call([&] {
        as<css::frame::XStorable>(document.model)
            ->storeToURL(toUno(QUrl::fromLocalFile(QFileInfo(single).absoluteFilePath()).toString(QUrl::FullyEncoded)),
                         arguments({{"FilterName", Any(toUno(QStringLiteral("writer_pdf_Export")))}}));
    });
    if (copies == 1)
        return;
    const QString unite = QStandardPaths::findExecutable(QStringLiteral("pdfunite"));
    if (unite.isEmpty())
        throw AutomationError(QStringLiteral("打印多份到 PDF 文件需要 pdfunite（poppler-utils），系统中没有找到。"));
    QStringList args;
    for (int i = 0; i < copies; ++i)
        args << single;
    args << target;
    QProcess join;
    join.start(unite, args);
    if (!join.waitForFinished(60000) || join.exitCode() != 0)
        throw AutomationError(QStringLiteral("无法写出 PDF 文件“%1”。").arg(QDir::toNativeSeparators(target)));
}

// An office without windows cannot go on for the user: its unsaved work
// is written to files of their own, and it ends.
QString keepUnsavedWork(EngineState& state)
{
    QStringList kept;
    QStringList lost;
    {
        // An office lost on the way ends below, not under the walk.
        const EngineState::Walk walk(state);
        for (const DocPtr& document : state.documents) {
            try {
                const bool modified =
                    state.call([&] { return bool(as<css::util::XModifiable>(document->model)->isModified()); });
                if (!modified)
                    continue;
                state.settle(*document);
                const QString target =
                    platform::keptFileName(document->name, document->path, QStringLiteral("（未保存的修改）"));
                state.call([&] {
                    as<css::frame::XStorable>(document->model)
                        ->storeToURL(toUno(QUrl::fromLocalFile(target).toString(QUrl::FullyEncoded)),
                                     arguments({{"FilterName", Any(toUno(QStringLiteral("MS Word 97")))}}));
                });
                kept << QDir::toNativeSeparators(target);
            } catch (const AutomationError&) {
                lost << document->name;
            }
        }
    }
    state.endedHandler = nullptr; // its owner let go
    state.end();
    // Lost on the way: what its end kept is said here too.
    QString note = state.takeEndNote();
    if (!kept.isEmpty())
        note += (note.isEmpty() ? QString() : QStringLiteral("\n\n"))
                + QStringLiteral("LibreOffice 没有可以留给您的窗口，已随 Lumetra 结束。没有保存的修改已保存为：\n%1")
                   .arg(kept.join(u'\n'));
    if (!lost.isEmpty())
        note += (note.isEmpty() ? QString() : QStringLiteral("\n\n"))
                + QStringLiteral("无法保存“%1”中没有保存的修改。").arg(lost.join(QStringLiteral("”、“")));
    return note;
}

} // namespace

bool libreOfficeInstalled()
{
    return OfficeProcess::installed();
}

void startLibreOfficeAhead()
{
    if (OfficeProcess::installed())
        prepareSpareOffice(runHeadless());
}

void endLibreOfficeStartedAhead()
{
    discardSpareOffice();
}

bool libreOfficeReadyAhead()
{
    return spareOfficeReady();
}

std::shared_ptr<OfficeApplication> OfficeApplication::create()
{
    auto state = std::make_shared<EngineState>();
    state->headless = runHeadless();
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                          : QRect(0, 0, 1024, 768);
    state->windowArea = screen.adjusted(screen.width() / 10, screen.height() / 20, -screen.width() / 10,
                                        -screen.height() / 20);
    const CallUnderWay underWay;
    StartProgress progress;
    OfficeProcess::Options options;
    options.headless = state->headless;
    options.waiting = [&progress] { return progress.waiting(); };
    std::weak_ptr<EngineState> weak = state;
    options.lost = [weak] {
        if (auto s = weak.lock())
            s->connectionLost();
    };
    // An office started ahead of need, if there is one; if it fails now, a
    // start of its own says why.
    if (std::unique_ptr<OfficeProcess> ready = takeSpareOffice(options.headless)) {
        ready->setLostHandler(options.lost);
        try {
            ready->waitConnected(options);
            state->office = std::move(ready);
        } catch (const AutomationError&) {
        }
    }
    if (!state->office)
        state->office = OfficeProcess::start(options);
    try {
        state->call([&] {
            state->desktop = css::frame::Desktop::create(state->office->context());
            state->desktop->addTerminateListener(new TerminateWatcher(state));
        });
    } catch (const AutomationError& error) {
        state->office->finish(0);
        throw AutomationError(QStringLiteral("LibreOffice 启动了，但无法使用：%1").arg(error.message()));
    }
    state->recovery = std::make_unique<OfficeRecovery>(*state);
    return std::shared_ptr<OfficeApplication>(new OfficeApplication(std::move(state)));
}

OfficeApplication::OfficeApplication(std::shared_ptr<EngineState> state) : m_state(std::move(state)) {}

OfficeApplication::~OfficeApplication()
{
    // Let go without quit: a Writer the user can see goes on, as an external
    // word processor would; one nobody can see ends with the object.
    if (m_state->alive() && !m_state->visible) {
        m_state->endedHandler = nullptr;
        m_state->end();
    }
}

std::shared_ptr<Documents> OfficeApplication::documents()
{
    m_state->requireAlive();
    return std::make_shared<OfficeDocuments>(m_state);
}

std::shared_ptr<Document> OfficeApplication::activeDocument()
{
    return std::make_shared<OfficeDocument>(m_state, m_state->requireActive());
}

std::shared_ptr<Selection> OfficeApplication::selection()
{
    m_state->requireActive();
    return std::make_shared<OfficeSelection>(m_state);
}

void OfficeApplication::setVisible(bool visible)
{
    m_state->call([&] {
        m_state->visible = visible;
        for (const DocPtr& document : m_state->documents)
            if (document != m_state->active)
                showDocumentWindow(*m_state, *document, visible);
        if (m_state->active)
            showDocumentWindow(*m_state, *m_state->active, visible); // last, so it is in front
    });
}

bool OfficeApplication::visible()
{
    m_state->requireAlive();
    return m_state->visible;
}

bool OfficeApplication::quit(int saveChanges)
{
    m_state->requireAlive();
    if (saveChanges != DoNotSaveChanges) {
        const auto documents = m_state->documents;
        for (const DocPtr& document : documents) {
            const bool modified =
                m_state->call([&] { return bool(as<css::util::XModifiable>(document->model)->isModified()); });
            if (!modified)
                continue;
            if (saveChanges == PromptToSaveChanges) {
                // Only changes the user could see are asked about.
                if (!m_state->visible)
                    continue;
                const auto answer = documentfiles::askToSaveChanges(nullptr, document->name, QStringLiteral("LibreOffice Writer"));
                if (answer == QMessageBox::Cancel)
                    return false;
                if (answer != QMessageBox::Yes)
                    continue;
            }
            if (!saveDocument(*m_state, *document))
                return false;
        }
    }
    m_state->end();
    return true;
}

void OfficeApplication::printOut(const QString& copies, bool background)
{
    const DocPtr document = m_state->requireActive();
    const int count = printCopies(copies);
    const QString pdf = qEnvironmentVariable(platform::kPrintToPdfVariable);
    if (!pdf.isEmpty()) {
        printToPdf(*m_state, *document, pdf, count);
        return;
    }
    QString problem;
    const std::unique_ptr<QPrinter> printer = platform::openPrinter(&problem);
    if (!printer)
        throw AutomationError(problem);
    m_state->settle(*document);
    m_state->call([&] {
        const auto printable = as<css::view::XPrintable>(document->model);
        printable->setPrinter(arguments({{"Name", Any(toUno(printer->printerName()))}}));
        printable->print(arguments({{"CopyCount", Any(sal_Int16(count))}, {"Wait", Any(!background)}}));
    });
}

bool OfficeApplication::running() const
{
    return m_state->stillRunning();
}

void OfficeApplication::setEndedHandler(std::function<void()> handler)
{
    m_state->endedHandler = std::move(handler);
}

QString OfficeApplication::handOver()
{
    if (!m_state->alive())
        return QString();
    if (m_state->headless || !m_state->visible)
        return keepUnsavedWork(*m_state);
    m_state->handOver();
    return QString();
}

void OfficeApplication::keepRecoveryCopies()
{
    if (m_state->alive() && m_state->recovery)
        m_state->recovery->writeNow();
}

QString OfficeApplication::takeEndNote()
{
    return m_state->takeEndNote();
}

qint64 OfficeApplication::processId() const
{
    return m_state->office ? m_state->office->processId() : 0;
}

} // namespace word::libreoffice
