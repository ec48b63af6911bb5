#include "shell/mainwindow.h"

#include "common/dialogue.h"
#include "about/aboutbox.h"
#include "automation/callguard.h"
#include "automation/factory.h"
#include "common/units.h"
#include "common/widgets.h"
#include "create/initdialog.h"
#include "batch/batchdialog.h"
#include "entry/entrydialog.h"
#include "platform/programfolder.h"
#include "subjects/subjectfile.h"
#include "platform/helpviewer.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

// The picture and icon are compiled into the program's static library; their
// resources must be registered before first use.
static void registerResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace shell {

QString defaultSubjectFile()
{
    return platform::inProgramFolder(QStringLiteral("zvn.list"));
}

namespace {

QAction* addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption)
{
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Menu"));
    return menu;
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                              | Qt::MSWindowsFixedSizeDialogHint)
{
    registerResources();
    setObjectName(QStringLiteral("main"));
    setWindowTitle(dialogue::applicationTitle());
    setAccessibleName(dialogue::applicationTitle());

    auto* client = new QWidget(this);
    client->setFixedSize(units::twipsToPixels(4575, this), units::twipsToPixels(2625, this));
    auto* picture = new QLabel(client);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setAccessibleName(QStringLiteral("Lumetra 课程表"));
    picture->setPixmap(QPixmap(QStringLiteral(":/images/title.png")));
    picture->setGeometry(0, 0, units::twipsToPixels(4560, this), units::twipsToPixels(2640, this));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setCentralWidget(client);

    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Startup: no timetable open, the default subject file in force.
    enterNoTimetable();
    m_state.kemufile = defaultSubjectFile();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    QMenu* file = addMenu(bar, "file", QStringLiteral("文件(&F)"));
    connect(addItem(file, "newonly", QStringLiteral("新建(&N)"), QKeySequence(Qt::CTRL | Qt::Key_N)),
            &QAction::triggered, this, &MainWindow::newTimetable);
    connect(addItem(file, "open", QStringLiteral("打开(&O)"), QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, &MainWindow::openTimetable);
    connect(addItem(file, "loadkemu", QStringLiteral("装入课程文件(&L)"), QKeySequence(Qt::CTRL | Qt::Key_L)),
            &QAction::triggered, this, &MainWindow::loadSubjectFile);

    m_edit = addMenu(bar, "edit", QStringLiteral("编辑(&E)"));
    m_inp = addItem(m_edit, "inp", QStringLiteral("输入(&I)"), QKeySequence(Qt::CTRL | Qt::Key_I));
    connect(m_inp, &QAction::triggered, this, &MainWindow::startEntry);
    m_prin = addItem(m_edit, "prin", QStringLiteral("打印(&P)"), QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(m_prin, &QAction::triggered, this, &MainWindow::printTimetable);
    m_savefile = addItem(m_edit, "savefile", QStringLiteral("保存(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(m_savefile, &QAction::triggered, this, &MainWindow::saveTimetable);

    QMenu* control = addMenu(bar, "contrl", QStringLiteral("控制(&C)"));
    m_closewd = addItem(control, "closewd", QStringLiteral("关闭课程表(&X)"), QKeySequence(Qt::CTRL | Qt::Key_X));
    connect(m_closewd, &QAction::triggered, this, &MainWindow::closeTimetable);
    connect(addItem(control, "exit", QStringLiteral("退出(&Q)"), QKeySequence(Qt::CTRL | Qt::Key_Q)),
            &QAction::triggered, this, &QWidget::close);

    buildToolsMenu();

    QMenu* help = addMenu(bar, "help", QStringLiteral("帮助(&H)"));
    connect(addItem(help, "runhelp", QStringLiteral("帮助(&H)"), QKeySequence(Qt::CTRL | Qt::Key_H)),
            &QAction::triggered, this, &MainWindow::runHelp);
    connect(addItem(help, "about", QStringLiteral("关于(&A)"), QKeySequence(Qt::CTRL | Qt::Key_A)),
            &QAction::triggered, this, &MainWindow::showAbout);

    // Menu shortcuts work while the menu of a disabled entry is closed, so the
    // actions themselves carry the enabled state.
    for (QAction* action : findChildren<QAction*>())
        action->setShortcutContext(Qt::WindowShortcut);
}

void MainWindow::setDocumentCommandsEnabled(bool enabled)
{
    m_prin->setEnabled(enabled);
    m_inp->setEnabled(enabled);
    m_savefile->setEnabled(enabled);
    m_closewd->setEnabled(enabled);
    m_picture->setEnabled(enabled);
    m_edit->setEnabled(enabled);
    m_edit->menuAction()->setEnabled(enabled);
}

void MainWindow::enterNoTimetable()
{
    m_state.opened = false;
    setDocumentCommandsEnabled(false);
    // While no timetable is open, a slow word processor gets ready for the
    // next one (not when the program is closing).
    if (!m_closing)
        word::prepareEngine();
}

void MainWindow::adoptTimetable(std::shared_ptr<word::Application> wd, std::shared_ptr<word::Table> table,
                                int morning, int hang, int lie)
{
    m_state.wd = std::move(wd);
    m_state.mytable = std::move(table);
    m_state.morning = morning;
    m_state.hang = hang;
    m_state.lie = lie;
    m_state.opened = true;
    m_endTold = false;
    setDocumentCommandsEnabled(true);
    // However the word processor ends (closed by hand, quit, gone), the
    // window follows at once.
    if (!m_state.wd)
        return;
    QPointer<MainWindow> self(this);
    const word::Application* which = m_state.wd.get();
    m_state.wd->setEndedHandler([self, which] {
        if (self)
            self->wordProcessorEnded(which);
    });
}

void MainWindow::wordProcessorEnded(const word::Application* which)
{
    if (m_state.wd.get() != which || !m_state.opened)
        return;
    // The objects stay until the next timetable replaces them: the handler
    // may run inside a call on them.
    const QString note = m_state.wd->takeEndNote();
    QWidget* parent = entryDialog && entryDialog->isVisible() ? static_cast<QWidget*>(entryDialog) : this;
    enterNoTimetable();
    closeEntryDialog(); // brings the main window back
    // It ended by itself: said here, once, with where the work was kept; a
    // call that failed with it says nothing more.
    if (!note.isEmpty()) {
        m_endTold = true;
        dialogue::warn(parent, note);
    }
}

void MainWindow::closeEntryDialog()
{
    if (!entryDialog)
        return;
    // Never under a box that is up: course entry may be the box's parent,
    // and would be gone when the box returns to it.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(50, this, &MainWindow::closeEntryDialog);
        return;
    }
    entryDialog->close();
}

bool MainWindow::closeSequence()
{
    // A quit that fails is reported, and the timetable counts as closed all
    // the same; only the user's Cancel keeps it open.
    bool cancelled = false;
    const bool done = guarded(this, [&] { cancelled = !quitWordProcessor(); });
    // Cancelled by the user, or a save asked for on the way failed: the
    // word processor goes on and so does the timetable.
    if (cancelled || (!done && m_state.wd && m_state.wd->running()))
        return false;
    m_state.forgetTimetable();
    enterNoTimetable();
    return true;
}

bool MainWindow::quitWordProcessor()
{
    if (m_state.wd && m_state.wd->running()) {
        try {
            if (!m_state.wd->quit())
                return false;
        } catch (const word::AutomationError& error) {
            // Gone while quitting: it is quit all the same.
            if (error.kind() != word::AutomationError::NotRunning)
                throw;
        }
    }
    m_state.forgetTimetable();
    return true;
}

bool MainWindow::guarded(QWidget* parent, const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const word::AutomationError& error) {
        reportEngineError(parent, error);
        return false;
    }
}

void MainWindow::reportWordProcessorClosed()
{
    reportEngineError(this, word::AutomationError::notRunning());
}

void MainWindow::reportEngineError(QWidget* parent, const word::AutomationError& error)
{
    if (error.kind() == word::AutomationError::NotRunning && m_endTold && !m_state.opened)
        return;
    dialogue::warn(parent ? parent : this, error.message());
    if (error.kind() == word::AutomationError::NotRunning && m_state.opened) {
        // The timetable's word processor is gone: no timetable is open now.
        m_state.forgetTimetable();
        enterNoTimetable();
    }
}

bool MainWindow::closeFirst(const QString& question)
{
    if (!m_state.opened)
        return true;
    const auto answer = dialogue::show(
        this, {question, QStringLiteral("提问"), QMessageBox::Yes | QMessageBox::No, QMessageBox::NoIcon,
               QMessageBox::Yes});
    return answer == QMessageBox::Yes && closeSequence();
}

void MainWindow::newTimetable()
{
    if (word::callUnderWay())
        return;
    if (!closeFirst(QStringLiteral("您已经建立或打开了一个课程表，必须关闭才能建立新的课程表。现在要关闭吗？")))
        return;
    if (!initDialog)
        initDialog = new create::InitDialog(this);
    widgets::bringForward(initDialog);
}

void MainWindow::closeTimetable()
{
    if (word::callUnderWay())
        return;
    closeSequence();
}

void MainWindow::runHelp()
{
    // Help is what F1 does: send one F1 press to the active window.
    QWidget* target = QApplication::activeWindow();
    if (!target)
        target = this;
    QApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier));
    QApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier));
}

void MainWindow::startEntry()
{
    if (!m_state.opened || word::callUnderWay())
        return;
    if (!m_state.wd || !m_state.wd->running()) {
        reportWordProcessorClosed();
        return;
    }
    if (entryDialog) {
        widgets::bringForward(entryDialog);
        return;
    }
    auto* dialog = new entry::EntryDialog(this);
    if (!dialog->load()) {
        delete dialog;
        return;
    }
    entryDialog = dialog;
    widgets::bringForward(dialog);
}

bool MainWindow::wordProcessorRunning()
{
    if (m_state.wd && m_state.wd->running())
        return true;
    reportWordProcessorClosed();
    return false;
}

void MainWindow::showAbout()
{
    // One about box at a time; each opening starts it afresh.
    if (!aboutBox)
        aboutBox = new about::AboutBox(this);
    widgets::bringForward(aboutBox);
}

void MainWindow::loadSubjectFile()
{
    const QString path = dialogue::current().openFile(
        this, {QStringLiteral("打开课程描述文件"), QStringLiteral("课程描述文件(*.list)|*.list"),
               QStringLiteral("*.list"), platform::dataFolder(), QString()});
    if (path.isEmpty())
        return;
    const subjects::Fault fault = subjects::checkFile(path);
    if (fault != subjects::Fault::None) {
        // The file in force stays.
        dialogue::inform(this, subjects::checkMessage(fault));
        return;
    }
    m_state.kemufile = path;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    m_closing = true;
    if (m_state.opened) {
        const auto answer = dialogue::show(this, {QStringLiteral("是否将表格文件一并关闭？"), QStringLiteral("询问"),
                                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::NoIcon,
                                                  QMessageBox::Yes});
        if (answer == QMessageBox::Yes && !closeSequence()) {
            // The user cancelled the word processor's quit: keep running.
            m_closing = false;
            event->ignore();
            return;
        }
        if (answer != QMessageBox::Yes && m_state.wd && m_state.wd->running()) {
            // The word processor stays with the document, as the user's.
            QString note;
            guarded(this, [&] { note = m_state.wd->handOver(); });
            if (!note.isEmpty())
                dialogue::inform(this, note);
        }
    }
    // The program's other windows close with the main window.
    if (initDialog)
        initDialog->close();

    if (aboutBox)
        aboutBox->close();
    if (batchDialog)
        batchDialog->close();
    if (QWidget* help = platform::helpWindow())
        help->close();
    event->accept();
}

} // namespace shell
