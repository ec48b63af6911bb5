// The main window's 工具 menu: 导出图片 (the open timetable's pages as
// pictures, to send to a chat group) and 批量生成课程表 (one timetable for
// each class of a table the academic office keeps).

#include "shell/mainwindow.h"

#include "automation/callguard.h"
#include "batch/batchdialog.h"
#include "common/dialogue.h"
#include "common/picturedialog.h"
#include "common/widgets.h"
#include "platform/programfolder.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>

namespace shell {

void MainWindow::buildToolsMenu()
{
    QMenu* tools = menuBar()->addMenu(QStringLiteral("工具(&T)"));
    tools->setObjectName(QStringLiteral("tools"));
    tools->menuAction()->setObjectName(QStringLiteral("toolsMenu"));
    auto item = [tools](const char* name, const QString& caption, const QKeySequence& shortcut) {
        QAction* action = tools->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        const QString spoken = QString(caption).remove(QStringLiteral("…")).remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
        action->setProperty("accessibleName", spoken);
        action->setStatusTip(spoken);
        return action;
    };
    m_picture = item("picture", QStringLiteral("导出图片(&G)…"), QKeySequence(Qt::CTRL | Qt::Key_G));
    connect(m_picture, &QAction::triggered, this, &MainWindow::exportPicture);
    connect(item("batch", QStringLiteral("批量生成课程表(&B)…"), QKeySequence(Qt::CTRL | Qt::Key_B)),
            &QAction::triggered, this, &MainWindow::makeTimetables);
}

void MainWindow::exportPicture()
{
    if (!m_state.opened || word::callUnderWay() || !wordProcessorRunning())
        return;
    // Offered under the document's file name, or as 课程表 before it has one.
    QString name;
    guarded(this, [&] { name = m_state.wd->activeDocument()->name(); });
    const QString stem = name.endsWith(QLatin1String(".doc"), Qt::CaseInsensitive)
                             || name.endsWith(QLatin1String(".odt"), Qt::CaseInsensitive)
                             ? QFileInfo(name).completeBaseName()
                             : QStringLiteral("课程表");
    const QString proposed = QDir(platform::timetableFolder()).filePath(stem + QStringLiteral(".png"));
    QPointer<MainWindow> self(this);
    pictures::ask(this, proposed, [self](const QString& path, const pictures::Options& options) {
        if (!self || !self->m_state.opened || !self->wordProcessorRunning())
            return;
        QStringList files;
        if (self->guarded(self, [&] { files = self->m_state.wd->activeDocument()->exportPicture(path, options); }))
            dialogue::inform(self, QStringLiteral("已导出图片：\n%1").arg(QDir::toNativeSeparators(files.join(u'\n'))));
    });
}

void MainWindow::makeTimetables()
{
    if (word::callUnderWay())
        return;
    if (!batchDialog)
        batchDialog = new batch::BatchDialog(this);
    widgets::bringForward(batchDialog);
}

} // namespace shell
