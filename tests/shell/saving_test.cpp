// Saving through the main window and the built-in word processor: nothing
// lost when a save fails or cannot keep a file's content, and unsaved
// changes asked about.

#include "automation/builtin/builtinapplication.h"
#include "wordprocessor/document.h"
#include "automation/factory.h"
#include "create/initdialog.h"
#include "entry/entrydialog.h"
#include "platform/printdestination.h"
#include "shell/mainwindow.h"
#include "support/scripteddialogue.h"
#include "support/timetablesteps.h"
#include "support/files.h"
#include "support/programs.h"
#include "support/windowtest.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace testsupport;

namespace {

using SavingTest = TimetableSteps<>;

} // namespace

TEST_F(SavingTest, PrintAndSaveAreGoneOnceTheWordProcessorWasClosed)
{
    build();
    topLevel("documentWindow")->close();
    settle();
    EXPECT_FALSE(main.state().opened);
    for (const char* command : {"prin", "savefile"}) {
        EXPECT_FALSE(action(command)->isEnabled()) << command;
        action(command)->trigger();
        settle();
    }
    EXPECT_TRUE(dialogue.messages.empty());
    EXPECT_TRUE(dialogue.inputRequests.empty());
}

TEST_F(SavingTest, AFailedSaveLeavesTheOldFileWhole)
{
    build();
    const QString path = folder.filePath("keep.doc");
    saveAs(path);
    const QByteArray before = digest(path);
    ASSERT_FALSE(before.isEmpty());
    main.state().mytable->cell(2, 2)->range()->setText(QStringLiteral("语文"));

    // The disk fills up: the process may write no more than a few bytes.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 512;
    setrlimit(RLIMIT_FSIZE, &tiny);
    action("savefile")->trigger();
    setrlimit(RLIMIT_FSIZE, &old);
    settle();
    ASSERT_FALSE(dialogue.messages.empty());
    EXPECT_TRUE(dialogue.messages.back().text.contains(QStringLiteral("无法保存"))) << dialogue.messages.back().text.toStdString();
    EXPECT_EQ(digest(path), before);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1); // no temporary file left behind

    // A target that has become a folder.
    QFile::remove(path);
    QDir(folder.path()).mkdir("keep.doc");
    action("savefile")->trigger();
    settle();
    EXPECT_TRUE(dialogue.messages.back().text.contains(QStringLiteral("文件夹")));
    EXPECT_TRUE(QFileInfo(path).isDir());

    // A folder the user may not write to (root may write anywhere).
    if (geteuid() != 0) {
        QDir(folder.path()).mkdir("locked");
        const QString locked = folder.filePath("locked/t.doc");
        QFile::setPermissions(folder.filePath("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const size_t messages = dialogue.messages.size();
        dialogue.files.push_back(locked);
        main.state().wd->activeDocument(); // still running
        auto* window = topLevel<QMainWindow>("documentWindow");
        window->findChild<QAction*>("documentSaveAs")->trigger();
        EXPECT_EQ(dialogue.messages.size(), messages + 1);
        EXPECT_FALSE(QFileInfo::exists(locked));
        QFile::setPermissions(folder.filePath("locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

TEST_F(SavingTest, ADocumentWithContentWeCannotKeepIsNeverWrittenOverItsFile)
{
    const QString path = folder.filePath("picture.doc");
    ASSERT_TRUE(QFile::copy(corpus("Bug44603.doc"), path));
    const QByteArray before = digest(path);
    open(path);
    ASSERT_TRUE(main.state().opened);
    // Save asks for a new name, saying why; the same name is refused.
    dialogue.files.push_back(path);
    action("savefile")->trigger();
    settle();
    ASSERT_GE(dialogue.messages.size(), 2u);
    EXPECT_TRUE(dialogue.messages[dialogue.messages.size() - 2].text.contains(QStringLiteral("图片")));
    EXPECT_TRUE(dialogue.messages.back().text.contains(QStringLiteral("换一个文件名")));
    EXPECT_EQ(digest(path), before);
    // A new name is fine, and the old file stays as it was.
    const QString copy = folder.filePath("picture-copy.doc");
    dialogue.files.push_back(copy);
    action("savefile")->trigger();
    settle();
    EXPECT_TRUE(QFileInfo(copy).isFile());
    EXPECT_EQ(digest(path), before);
}

TEST_F(SavingTest, UnsavedChangesAreAskedAboutWhenTheTimetableCloses)
{
    // Cancel keeps everything open.
    build();
    auto wd = main.state().wd;
    dialogue.saveAnswer = QMessageBox::Cancel;
    action("closewd")->trigger();
    settle();
    ASSERT_EQ(dialogue.saveQuestions.size(), 1u);
    EXPECT_EQ(dialogue.saveQuestions[0].text, QStringLiteral("是否保存对“文档1”的更改？"));
    EXPECT_EQ(dialogue.saveQuestions[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_TRUE(main.state().opened);
    EXPECT_TRUE(wd->running());
    // New stops too, leaving the timetable open.
    dialogue.answers.push_back(QMessageBox::Yes);
    action("newonly")->trigger();
    settle();
    EXPECT_EQ(main.initDialog, nullptr);
    EXPECT_TRUE(main.state().opened);

    // Yes saves (asking for a name first).
    const QString path = folder.filePath("saved-on-close.doc");
    dialogue.saveAnswer = QMessageBox::Yes;
    dialogue.files.push_back(path);
    action("closewd")->trigger();
    settle();
    EXPECT_TRUE(QFileInfo(path).isFile());
    EXPECT_FALSE(main.state().opened);
    EXPECT_FALSE(wd->running());

    // No discards: nothing is written.
    build();
    dialogue.saveAnswer = QMessageBox::No;
    const size_t files = dialogue.fileRequests.size();
    action("closewd")->trigger();
    settle();
    EXPECT_EQ(dialogue.fileRequests.size(), files);
    EXPECT_FALSE(main.state().opened);
}

TEST_F(SavingTest, TheDocumentWindowSavesWithCtrlS)
{
    build();
    auto* window = topLevel<QMainWindow>("documentWindow");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isWindowModified());
    const QString path = folder.filePath("from-window.doc");
    dialogue.files.push_back(path);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    settle();
    ASSERT_TRUE(QFileInfo(path).isFile());
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("from-window.doc")));
    // Closing it now asks nothing: everything is saved.
    window->close();
    settle();
    EXPECT_TRUE(dialogue.saveQuestions.empty());
    EXPECT_FALSE(main.state().wd->running());
}
