#include "shell/mainwindow.h"

#include "automation/factory.h"
#include "common/dialogue.h"
#include "common/numberreading.h"
#include "about/aboutbox.h"
#include "common/units.h"
#include "common/widgets.h"
#include "create/grid.h"
#include "create/initdialog.h"
#include "entry/entrydialog.h"
#include "platform/programfolder.h"
#include "platform/recovery.h"
#include "subjects/subjectfile.h"
#include "platform/helpviewer.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
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
    m_edit->setEnabled(enabled);
    m_edit->menuAction()->setEnabled(enabled);
}

void MainWindow::enterNoTimetable()
{
    m_state.opened = false;
    setDocumentCommandsEnabled(false);
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
    enterNoTimetable();
    if (entryDialog)
        entryDialog->close(); // brings the main window back
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
    if (!closeFirst(QStringLiteral("您已经建立或打开了一个课程表，必须关闭才能建立新的课程表。现在要关闭吗？")))
        return;
    if (!initDialog)
        initDialog = new create::InitDialog(this);
    widgets::bringForward(initDialog);
}

void MainWindow::closeTimetable()
{
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
    if (!m_state.opened)
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

void MainWindow::openTimetable()
{
    if (closeFirst(QStringLiteral("您已经建立或打开了一个课程表，必须关闭才能打开另外的课程表。现在要关闭吗？")))
        opendoc();
}

void MainWindow::opendoc()
{
    const QString path = dialogue::current().openFile(
        this, {QStringLiteral("打开课程表文件"), QStringLiteral("Microsoft Office 97/2000 文档(*.doc)|*.doc"),
               QStringLiteral("*.doc"), platform::timetableFolder(), QString()});
    if (!path.isEmpty())
        openPath(path);
}

void MainWindow::openFile(const QString& path)
{
    if (closeFirst(QStringLiteral("您已经建立或打开了一个课程表，必须关闭才能打开另外的课程表。现在要关闭吗？")))
        openPath(path);
}

namespace {

// Where a recovered document goes: beside its own file, or in the user's
// documents folder, under a name no file has yet.
QString recoveredFileName(const platform::RecoveryCopy& copy)
{
    QString folder = copy.documentPath.isEmpty() ? QString() : QFileInfo(copy.documentPath).absolutePath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir() || !QFileInfo(folder).isWritable())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        folder = QDir::homePath();
    QString base = copy.documentName;
    if (base.endsWith(QLatin1String(".doc"), Qt::CaseInsensitive))
        base.chop(4);
    base += QStringLiteral("（恢复）");
    QString target = QDir(folder).filePath(base + QStringLiteral(".doc"));
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = QDir(folder).filePath(QStringLiteral("%1%2.doc").arg(base).arg(n));
    return target;
}

} // namespace

void MainWindow::offerRecoveredCopies()
{
    QString toOpen;
    QStringList alsoKept;
    for (const platform::RecoveryCopy& copy : platform::leftRecoveryCopies()) {
        const auto answer = dialogue::show(
            this, {QStringLiteral("Lumetra 上次没有正常结束。“%1”在 %2 留下了恢复副本，其中有没有保存的修改。\n\n"
                                  "要打开它吗？选“否”将丢弃这个副本。")
                       .arg(copy.documentName, copy.written.toString(QStringLiteral("yyyy-MM-dd HH:mm"))),
                   QStringLiteral("恢复文档"), QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
                   QMessageBox::Yes});
        if (answer != QMessageBox::Yes) {
            platform::removeRecoveryCopy(copy.file);
            continue;
        }
        const QString target = recoveredFileName(copy);
        if (!QFile::rename(copy.file, target) && !(QFile::copy(copy.file, target) && QFile::remove(copy.file))) {
            dialogue::warn(this, QStringLiteral("无法把“%1”的恢复副本保存为“%2”。副本仍在“%3”。")
                                     .arg(copy.documentName, QDir::toNativeSeparators(target),
                                          QDir::toNativeSeparators(copy.file)));
            continue;
        }
        platform::removeRecoveryCopy(copy.file); // its note
        if (toOpen.isEmpty())
            toOpen = target;
        else
            alsoKept << QDir::toNativeSeparators(target);
    }
    if (!alsoKept.isEmpty())
        dialogue::inform(this, QStringLiteral("一次只能打开一个课程表。其他恢复的文档已保存为：\n%1").arg(alsoKept.join(u'\n')));
    if (!toOpen.isEmpty())
        openFile(toOpen);
}

void MainWindow::openPath(const QString& path)
{
    // A new timetable half set up in its dialog gives way to the opened
    // one, as if cancelled: one timetable at a time.
    if (initDialog)
        initDialog->close();

    // Each open starts a word processor of its own; the grid is worked out
    // from the document's first table.
    std::shared_ptr<word::Application> wd;
    std::shared_ptr<word::Table> table;
    int hang = 0, lie = 0, morning = 0;
    const bool opened = guarded(this, [&] {
        wd = word::createObject(QStringLiteral("word.application"));
        word::OpenArguments arguments;
        arguments.filename = path;
        wd->documents()->open(arguments);
        wd->setVisible(true);
        wd->documents()->item(path)->activate();
        const auto document = wd->activeDocument();
        if (document->tables()->count() < 1)
            throw word::AutomationError(
                QStringLiteral("文件“%1”中没有表格，不是课程表文件。").arg(QDir::toNativeSeparators(path)));
        table = document->tables()->item(1);
        hang = table->rows()->count();
        lie = table->columns()->count();
        morning = grid::morningFromTable(hang, [&](int row) { return table->rows()->item(row)->cells()->count(); });
    });
    if (!opened) {
        // The word processor just started goes again; no timetable is open.
        if (wd && wd->running())
            guarded(this, [&] { wd->quit(word::DoNotSaveChanges); });
        return;
    }
    adoptTimetable(wd, table, morning, hang, lie);
    const auto answer = dialogue::show(this, {QStringLiteral("现在就输入课程吗？"), QStringLiteral("问题"),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
                                              QMessageBox::Yes});
    if (answer == QMessageBox::Yes)
        startEntry();
}

void MainWindow::printTimetable()
{
    if (!m_state.opened || !wordProcessorRunning())
        return;
    const std::optional<QString> copies =
        dialogue::current().input(this, QStringLiteral("您要打印几份？"), QStringLiteral("打印"), QString());
    if (!copies)
        return;
    const double value = numbers::leading(*copies);
    if (value != numbers::roundHalfEven(value) || value < 1 || value > 999) {
        dialogue::warn(this, QStringLiteral("“%1”不是有效的份数。请输入 1 到 999 之间的整数。").arg(*copies),
                       QStringLiteral("打印"));
        return;
    }
    if (guarded(this, [&] { m_state.wd->printOut(*copies, true); }))
        dialogue::show(this, {QStringLiteral("正在打印，请稍等……"), QStringLiteral("打印中"), QMessageBox::Ok,
                              QMessageBox::NoIcon, QMessageBox::Ok});
}

void MainWindow::saveTimetable()
{
    if (!m_state.opened || !wordProcessorRunning())
        return;
    guarded(this, [&] { m_state.wd->activeDocument()->save(); });
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
    if (m_state.opened) {
        const auto answer = dialogue::show(this, {QStringLiteral("是否将表格文件一并关闭？"), QStringLiteral("询问"),
                                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::NoIcon,
                                                  QMessageBox::Yes});
        if (answer == QMessageBox::Yes && !closeSequence()) {
            // The user cancelled the word processor's quit: keep running.
            event->ignore();
            return;
        }
    }
    // The program's other windows close with the main window.
    if (initDialog)
        initDialog->close();

    if (aboutBox)
        aboutBox->close();
    if (QWidget* help = platform::helpWindow())
        help->close();
    event->accept();
}

} // namespace shell
