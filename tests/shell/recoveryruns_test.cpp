// Runs of the program are told apart by more than their process number,
// and each left-behind copy is offered by one run only: a later run given
// the number of a crashed one, two copies of the program started together,
// and a file named on the command line while a copy is asked about.

#include "platform/documentlock.h"
#include "platform/recovery.h"
#include "platform/runlock.h"
#include "support/files.h"
#include "support/scripteddialogue.h"
#include "recoveryruns.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace testsupport;

namespace {

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The left-behind copies: document name → the copy's content.
std::map<QString, QByteArray> leftCopies()
{
    std::map<QString, QByteArray> copies;
    for (const platform::RecoveryCopy& copy : platform::leftRecoveryCopies())
        copies[copy.documentName] = contentOf(copy.file);
    return copies;
}

// Writes a note beside a copy in the store's form.
void writeCopy(const QString& copy, const QString& documentName)
{
    QFile file(copy);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(documentName.toUtf8());
    QFile note(copy.chopped(4) + ".note");
    ASSERT_TRUE(note.open(QIODevice::WriteOnly));
    note.write((documentName + "\n\n").toUtf8());
}

// How this machine lets a program run in a PID namespace of its own, where
// it is process 1 every time: as root, or in a user namespace of its own.
QStringList pidNamespace()
{
    for (const QStringList& command : {QStringList{"unshare", "-p", "--fork"}, QStringList{"unshare", "-U", "-r", "-p", "--fork"}}) {
        QProcess probe;
        probe.start(command[0], command.mid(1) + QStringList{"true"});
        if (probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
            return command;
    }
    return {};
}

// Two runs one after another with the same process number, each writing a
// copy (its content the document's name) and ending as a crash would.
void twoRunsWithOneNumber(const QStringList& wrapper, const QStringList& extra)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    RecoveryFolders folders(root.path());
    const QString first = runChild("WritesACopyAndEndsAbruptly", wrapper, extra + QStringList{"LUMETRA_CHILD_DOCUMENT=第一次"});
    const QString second = runChild("WritesACopyAndEndsAbruptly", wrapper, extra + QStringList{"LUMETRA_CHILD_DOCUMENT=第二次"});
    ASSERT_EQ(tagged(first, "WRITTEN "), QStringList{"1"}) << first.toStdString();
    ASSERT_EQ(tagged(second, "WRITTEN "), QStringList{"1"}) << second.toStdString();
    EXPECT_EQ(tagged(first, "PID "), tagged(second, "PID ")) << "the runs were meant to share a process number";
    // The second run takes the first one's copy for left behind, not for its own.
    EXPECT_EQ(tagged(second, "LEFT "), QStringList{"第一次"});
    // Neither overwrote the other; both are offered once both have ended.
    const std::map<QString, QByteArray> expected{{"第一次", QString("第一次").toUtf8()}, {"第二次", QString("第二次").toUtf8()}};
    EXPECT_EQ(leftCopies(), expected);
}

} // namespace

// Another run: writes a copy of the document LUMETRA_CHILD_DOCUMENT, tells
// its process number and the copies it finds left behind, and ends without
// cleaning up, as a crash would.
TEST(RecoveryChild, WritesACopyAndEndsAbruptly)
{
    if (!isChildRun())
        GTEST_SKIP() << "run by the recovery tests as another run of the program";
    const QString name = qEnvironmentVariable("LUMETRA_CHILD_DOCUMENT");
    const bool written = platform::writeRecoveryCopy(
        platform::recoveryFile("1"), [&](const QString& temporary) { return platform::writeFileBytes(temporary, name.toUtf8()); },
        name, QString());
    std::printf("WRITTEN %d\nPID %s\n", int(written), qUtf8Printable(platform::runId().section(u'.', 0, 0)));
    for (const platform::RecoveryCopy& copy : platform::leftRecoveryCopies())
        std::printf("LEFT %s\n", qUtf8Printable(copy.documentName));
    std::fflush(stdout);
    std::_Exit(0);
}

TEST(RecoveryRuns, CopiesOfEndedRunsAreLeftBehindWhateverTheirProcessNumber)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    RecoveryFolders folders(root.path());
    const QDir folder(platform::recoveryFolder());
    const qint64 pid = QCoreApplication::applicationPid();
    // An earlier version named copies by process number alone; one with
    // this run's number was written by a run before it.
    writeCopy(folder.filePath(QString("%1-1.doc").arg(pid)), "旧版本的副本");
    // A run with this run's number that has ended (no lock held).
    writeCopy(folder.filePath(QString("%1.0123456789abcdef-1.doc").arg(pid)), "同号的副本");
    // This run's own copy is not left behind.
    ASSERT_TRUE(platform::writeRecoveryCopy(
        platform::recoveryFile("1"), [](const QString& temporary) { return platform::writeFileBytes(temporary, "本次"); },
        "本次的副本", QString()));
    const auto left = leftCopies();
    EXPECT_EQ(left.size(), 2u);
    EXPECT_TRUE(left.count("旧版本的副本"));
    EXPECT_TRUE(left.count("同号的副本"));
}

TEST(RecoveryRuns, ALaterRunWithTheSameProcessNumberOffersTheCopyOfTheOneBefore)
{
    // The number given through the variable tests use.
    {
        SCOPED_TRACE("LUMETRA_RUN_PID");
        twoRunsWithOneNumber({}, {"LUMETRA_RUN_PID=4242"});
    }
    // A number the system gives: process 1 in a PID namespace, as in a container.
    const QStringList wrapper = pidNamespace();
    if (wrapper.isEmpty())
        GTEST_SKIP() << "this machine lets no program run in a PID namespace of its own (unshare -p)";
    SCOPED_TRACE(wrapper.join(' ').toStdString());
    twoRunsWithOneNumber(wrapper, {});
}

TEST(RecoveryRuns, TwoRunningCopiesAskAboutACopyOnceAndAFileOnTheCommandLineWaitsForTheAnswer)
{
    const QString program = QDir(QCoreApplication::applicationDirPath()).filePath("lumetra");
    if (!QFileInfo(program).isExecutable())
        GTEST_SKIP() << "the program itself is not built beside the tests";
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    RecoveryFolders folders(root.path());
    const QDir folder(platform::recoveryFolder());
    runChild("WritesACopyAndEndsAbruptly", {}, {"LUMETRA_CHILD_DOCUMENT=课程表甲"});
    const auto left = platform::leftRecoveryCopies();
    ASSERT_EQ(left.size(), 1);
    const QString named = root.filePath("named.doc");
    ASSERT_TRUE(QFile::copy(corpus("simple-table2.doc"), named));

    // The program is started with a file on its command line; it claims
    // the copy and asks about it (a real question box, left unanswered).
    QProcess started;
    started.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    started.start(program, {named});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !QFileInfo::exists(left[0].file) || started.state() == QProcess::NotRunning; }, 60000));
    ASSERT_EQ(started.state(), QProcess::Running) << "the program ended before it asked";
    ASSERT_EQ(folder.entryList({"*-recovered*.doc"}).size(), 1) << folder.entryList().join(' ').toStdString();

    // Another run started meanwhile does not ask about it.
    ScriptedDialogue dialogue;
    shell::MainWindow main;
    main.show();
    main.offerRecoveredCopies();
    settle();
    EXPECT_TRUE(dialogue.messages.empty());
    EXPECT_EQ(folder.entryList({"*.doc"}).size(), 1);

    // While its question is up, the file on its command line is not opened
    // (opening it writes its lock).
    QTest::qWait(3000);
    EXPECT_FALSE(QFileInfo::exists(platform::lockFileOf(named)));

    // It dies while asking: the copy it claimed is left for a later run.
    started.kill();
    started.waitForFinished();
    dialogue.answers = {QMessageBox::No};
    main.offerRecoveredCopies();
    settle();
    ASSERT_EQ(dialogue.messages.size(), 1u);
    EXPECT_TRUE(dialogue.messages[0].text.contains(QStringLiteral("课程表甲")));
    EXPECT_TRUE(platform::leftRecoveryCopies().isEmpty()); // No discarded it
    EXPECT_TRUE(folder.entryList({"*.doc", "*.note"}).isEmpty());
}
