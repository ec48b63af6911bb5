// The main window's file commands: Open (from its dialog, from the command
// line, or a recovery copy a crash left behind), Print and Save.

#include "shell/mainwindow.h"

#include "automation/callguard.h"
#include "automation/factory.h"
#include "common/dialogue.h"
#include "common/numberreading.h"
#include "create/grid.h"
#include "create/initdialog.h"
#include "platform/programfolder.h"
#include "platform/recovery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace shell {

namespace {

// The Word 97/2000 entry first, as the program always offered it, then
// today's Word documents, then both.
const QString kOpenFilter = QStringLiteral("Microsoft Office 97/2000 文档(*.doc)|*.doc|Word 文档(*.docx)|*.docx|"
                                           "所有 Word 文档(*.doc *.docx)|*.doc;*.docx");

} // namespace

void MainWindow::openTimetable()
{
    if (word::callUnderWay())
        return;
    if (closeFirst(QStringLiteral("您已经建立或打开了一个课程表，必须关闭才能打开另外的课程表。现在要关闭吗？")))
        opendoc();
}

void MainWindow::opendoc()
{
    const QString path = dialogue::current().openFile(
        this, {QStringLiteral("打开课程表文件"), kOpenFilter,
               QStringLiteral("*.doc"), platform::timetableFolder(), QString()});
    if (!path.isEmpty())
        openPath(path);
}

void MainWindow::openFile(const QString& path)
{
    if (word::callUnderWay())
        return;
    if (closeFirst(QStringLiteral("您已经建立或打开了一个课程表，必须关闭才能打开另外的课程表。现在要关闭吗？")))
        openPath(path);
}

void MainWindow::offerRecoveredCopies()
{
    QString toOpen;
    QStringList alsoKept;
    for (const platform::RecoveryCopy& left : platform::leftRecoveryCopies()) {
        // Another running copy of the program may be offering the same copy:
        // only the run that claims it asks.
        const std::optional<platform::RecoveryCopy> claimed = platform::claimRecoveryCopy(left);
        if (!claimed)
            continue;
        const platform::RecoveryCopy& copy = *claimed;
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
        QString problem;
        const QString target = platform::keepRecoveryCopyApart(copy, &problem);
        if (target.isEmpty()) {
            dialogue::warn(this, problem);
            continue;
        }
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
    if (!m_state.opened || word::callUnderWay() || !wordProcessorRunning())
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
    if (!m_state.opened || word::callUnderWay() || !wordProcessorRunning())
        return;
    guarded(this, [&] { m_state.wd->activeDocument()->save(); });
}

} // namespace shell
