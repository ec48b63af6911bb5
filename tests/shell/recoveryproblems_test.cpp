// A recovery copy that cannot be written is said once, tried again at the
// next change, and said again after a copy has been written since; what a
// crash while writing leaves is cleaned up at the next start.

#include "common/documentfiles.h"
#include "platform/recovery.h"
#include "platform/runlock.h"
#include "support/files.h"
#include "support/scripteddialogue.h"
#include "recoveryruns.h"

#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

using namespace testsupport;

namespace {

// The program's handler of recovery problems, in force while it lives.
struct ProblemHandler {
    ProblemHandler() { platform::setRecoveryProblemHandler(documentfiles::warnAboutRecoveryCopies); }
    ~ProblemHandler() { platform::setRecoveryProblemHandler(nullptr); }
};

QStringList filesIn(const QString& folder, const QStringList& patterns = {})
{
    return QDir(folder).entryList(patterns, QDir::Files | QDir::Hidden, QDir::Name);
}

// Changes a cell of the open timetable, which writes a copy at once
// (LUMETRA_RECOVERY_SECONDS is 0), and lets the warning, if any, be shown.
void change(shell::MainWindow& main, const QString& text)
{
    main.state().mytable->cell(5, 3)->range()->setText(text);
    QTest::qWait(50);
    settle();
}

} // namespace

TEST(RecoveryProblems, ACopyThatCannotBeWrittenIsSaidOnceUntilOneIsWrittenAgain)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    RecoveryFolders folders(root.path());
    ProblemHandler handler;
    ScriptedDialogue dialogue;
    shell::MainWindow main;
    main.show();
    entry::EntryDialog* entry = buildAndEnter(main);
    ASSERT_NE(entry, nullptr);
    entry->close();
    const QString folder = platform::recoveryFolder();
    ASSERT_TRUE(QTest::qWaitFor([&] { return filesIn(folder, {"*.doc"}).size() == 1; }, 5000));
    settle();
    ASSERT_TRUE(dialogue.messages.empty());

    // A file stands where the folder was: copies cannot be written.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    change(main, QStringLiteral("语文"));
    ASSERT_EQ(dialogue.messages.size(), 1u);
    const dialogue::Message said = dialogue.messages[0];
    EXPECT_EQ(said.icon, QMessageBox::Warning);
    EXPECT_TRUE(said.text.startsWith(QStringLiteral("无法保存恢复副本："))) << said.text.toStdString();
    EXPECT_TRUE(said.text.contains(QDir::toNativeSeparators(folder))) << said.text.toStdString();
    EXPECT_TRUE(said.text.contains(QStringLiteral("不是文件夹"))) << said.text.toStdString();
    // Said once, however many changes fail after it.
    change(main, QStringLiteral("英语"));
    change(main, QStringLiteral("音乐"));
    EXPECT_EQ(dialogue.messages.size(), 1u);

    // The folder can be made again: the next change writes a copy.
    ASSERT_TRUE(QFile::remove(folder));
    change(main, QStringLiteral("美术"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return filesIn(folder, {"*.doc"}).size() == 1; }, 5000));
    EXPECT_EQ(dialogue.messages.size(), 1u);
    const QString copy = QDir(folder).filePath(filesIn(folder, {"*.doc"})[0]);
    const QByteArray good = digest(copy);

    // Then the disk is full for this program (a file size limit stands in
    // for it): said again, and the copy written before stays whole.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 512;
    setrlimit(RLIMIT_FSIZE, &tiny);
    main.state().mytable->cell(5, 3)->range()->setText(QStringLiteral("体育"));
    QTest::qWait(50);
    setrlimit(RLIMIT_FSIZE, &old);
    settle();
    ASSERT_EQ(dialogue.messages.size(), 2u);
    EXPECT_TRUE(dialogue.messages[1].text.contains(QStringLiteral("文件超出了允许的大小"))) << dialogue.messages[1].text.toStdString();
    EXPECT_EQ(digest(copy), good);
    EXPECT_TRUE(filesIn(folder, {"*.tmp"}).isEmpty());

    dialogue.saveAnswer = QMessageBox::No;
    main.closeSequence();
    settle();
    EXPECT_TRUE(filesIn(folder, {"*.doc", "*.note", "*.tmp"}).isEmpty());
}

// Another run, on a disk with no room (a tiny file system): fills three
// cells, and tells the warning it was shown and what is in the folder.
TEST(RecoveryChild, FillsATimetableOnAFullDisk)
{
    if (!isChildRun())
        GTEST_SKIP() << "run by the recovery tests as another run of the program";
    ProblemHandler handler;
    ScriptedDialogue dialogue;
    shell::MainWindow main;
    main.show();
    ASSERT_NE(buildAndEnter(main), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogue.messages.empty(); }, 10000));
    QTest::qWait(100);
    settle();
    for (const dialogue::Message& message : dialogue.messages)
        std::printf("WARNING %s\n", qUtf8Printable(message.text));
    const QString folder = platform::recoveryFolder();
    std::printf("TEMPORARY %d\nCOPIES %d\n", int(filesIn(folder, {"*.tmp"}).size()), int(filesIn(folder, {"*.doc"}).size()));
    std::fflush(stdout);
    main.entryDialog->close();
    dialogue.saveAnswer = QMessageBox::No;
    main.closeSequence();
}

TEST(RecoveryProblems, AFullDiskIsSaidAndLeavesNoTemporaryFile)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    RecoveryFolders folders(root.path());
    const QString folder = platform::recoveryFolder();
    // A file system of one page mounted on the folder, in a mount namespace
    // of the child's own: the run's lock (empty) fits, a copy does not.
    const QString mount = QStringLiteral("mount -t tmpfs -o size=4k lumetra-full \"$0\" || exit 77; exec \"$@\"");
    int code = 0;
    QString output;
    for (const QStringList& unshare : {QStringList{"unshare", "-m"}, QStringList{"unshare", "-U", "-r", "-m"}}) {
        output = runChild("FillsATimetableOnAFullDisk", unshare + QStringList{"sh", "-c", mount, folder}, {}, &code);
        if (code != 77 && !output.contains("unshare:"))
            break;
    }
    if (code == 77 || output.contains("unshare:"))
        GTEST_SKIP() << "this machine does not let a test mount a small file system: " << output.toStdString();
    EXPECT_EQ(code, 0) << output.toStdString();
    const QStringList warnings = tagged(output, "WARNING ");
    ASSERT_EQ(warnings.size(), 1) << output.toStdString();
    EXPECT_TRUE(warnings[0].startsWith(QStringLiteral("无法保存恢复副本：磁盘空间不足。"))) << warnings[0].toStdString();
    EXPECT_EQ(tagged(output, "TEMPORARY "), QStringList{"0"});
    EXPECT_EQ(tagged(output, "COPIES "), QStringList{"0"});
}

// Another run: writes a whole copy, then dies half way through writing it
// again.
TEST(RecoveryChild, DiesWhileWritingACopy)
{
    if (!isChildRun())
        GTEST_SKIP() << "run by the recovery tests as another run of the program";
    const QString copy = platform::recoveryFile("1");
    ASSERT_TRUE(platform::writeRecoveryCopy(
        copy, [](const QString& temporary) { return platform::writeFileBytes(temporary, "whole"); }, "文档甲", QString()));
    platform::writeRecoveryCopy(
        copy,
        [](const QString& temporary) {
            QFile file(temporary);
            if (file.open(QIODevice::WriteOnly))
                file.write("half");
            file.close();
            std::_Exit(0);
            return QString();
        },
        "文档甲", QString());
}

TEST(RecoveryProblems, WhatACrashWhileWritingLeavesIsCleanedUpAtTheNextStart)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    RecoveryFolders folders(root.path());
    const QString folder = platform::recoveryFolder();
    runChild("DiesWhileWritingACopy");
    const QStringList crashed = filesIn(folder);
    ASSERT_EQ(filesIn(folder, {"*.tmp"}).size(), 1) << crashed.join(' ').toStdString();
    ASSERT_EQ(filesIn(folder, {"*.lock"}).size(), 1) << crashed.join(' ').toStdString();

    // This run's own temporary file is not stale.
    const QString ours = platform::recoveryFile("1") + ".tmp";
    QFile file(ours);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    platform::cleanRecoveryFolder();
    const QStringList after = filesIn(folder);
    const QString ownLock = platform::runId() + ".lock";
    EXPECT_EQ(after.size(), 4) << after.join(' ').toStdString(); // the copy, its note, ours
    EXPECT_TRUE(after.contains(ownLock));
    EXPECT_TRUE(after.contains(QFileInfo(ours).fileName()));
    EXPECT_EQ(filesIn(folder, {"*.lock"}), QStringList{ownLock});
    // The whole copy is what is offered.
    const auto left = platform::leftRecoveryCopies();
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].documentName, QStringLiteral("文档甲"));
    QFile whole(left[0].file);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    EXPECT_EQ(whole.readAll(), "whole");
}
