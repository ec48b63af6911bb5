// Nothing is lost when the program dies: a document with unsaved changes
// has a recovery copy, and the next start offers it.

#include "create/initdialog.h"
#include "docfile/document.h"
#include "entry/entrydialog.h"
#include "platform/recovery.h"
#include "shell/mainwindow.h"
#include "support/scripteddialogue.h"
#include "support/windowtest.h"
#include "recoveryruns.h"

#include <QComboBox>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>

using namespace testsupport;

namespace {

QStringList copiesIn(const QString& folder)
{
    return QDir(folder).entryList({"*.doc"}, QDir::Files);
}

} // namespace

// Run only as the child of the next test: fills three cells, waits for the
// copy, says so, and waits to be killed.
TEST(RecoveryChild, FillsThreeCellsAndWaitsToBeKilled)
{
    if (qEnvironmentVariableIsEmpty("LUMETRA_RECOVERY_CHILD"))
        GTEST_SKIP() << "run by Recovery.AKilledProgramsWorkIsOfferedAtTheNextStart";
    ScriptedDialogue dialogue;
    shell::MainWindow main;
    main.show();
    ASSERT_NE(buildAndEnter(main), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([] { return !copiesIn(platform::recoveryFolder()).isEmpty(); }, 10000));
    QTest::qWait(300); // the copy's note
    std::printf("READY\n");
    std::fflush(stdout);
    QTest::qWait(120000);
}

TEST(Recovery, AKilledProgramsWorkIsOfferedAtTheNextStart)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    RecoveryFolders folders(root.path());

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LUMETRA_RECOVERY_CHILD", "1");
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=RecoveryChild.*"});
    ASSERT_TRUE(child.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return child.readAllStandardOutput().contains("READY")
                                             || child.state() == QProcess::NotRunning; }, 60000));
    ASSERT_EQ(child.state(), QProcess::Running) << "the child stopped before it was killed";
    ::kill(pid_t(child.processId()), SIGKILL); // as a crash or a power cut would
    child.waitForFinished();

    const auto left = platform::leftRecoveryCopies();
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].documentName, QStringLiteral("文档1"));

    // The next start asks; Yes opens the copy (and No to entering courses).
    ScriptedDialogue dialogue;
    dialogue.answers = {QMessageBox::Yes, QMessageBox::No};
    shell::MainWindow main;
    main.show();
    main.offerRecoveredCopies();
    settle();
    ASSERT_GE(dialogue.messages.size(), 1u);
    EXPECT_EQ(dialogue.messages[0].title, QStringLiteral("恢复文档"));
    EXPECT_TRUE(dialogue.messages[0].text.contains(QStringLiteral("文档1")));
    ASSERT_TRUE(main.state().opened);
    for (int row : {2, 3, 4})
        EXPECT_EQ(main.state().mytable->cell(row, 2)->range()->text(), QStringLiteral("数学")) << row;
    EXPECT_TRUE(QFileInfo::exists(root.filePath("Documents/文档1（恢复）.doc")));
    EXPECT_TRUE(platform::leftRecoveryCopies().isEmpty());
    main.closeSequence();

    // Offered again at a later start: nothing is left to offer.
    const size_t asked = dialogue.messages.size();
    main.offerRecoveredCopies();
    EXPECT_EQ(dialogue.messages.size(), asked);
}

TEST(Recovery, ACopyIsKeptWhileChangesAreUnsavedAndGoesWithASaveOrAClose)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    RecoveryFolders folders(root.path());
    ScriptedDialogue dialogue;
    shell::MainWindow main;
    main.show();
    entry::EntryDialog* dialog = buildAndEnter(main);
    ASSERT_NE(dialog, nullptr);
    const QString folder = platform::recoveryFolder();
    ASSERT_TRUE(QTest::qWaitFor([&] { return copiesIn(folder).size() == 1; }, 5000));
    // This program's own copies are not left-behind ones.
    EXPECT_TRUE(platform::leftRecoveryCopies().isEmpty());

    // Saved: the file holds the work, the copy goes.
    dialog->close();
    settle();
    dialogue.files.push_back(root.filePath("saved.doc"));
    main.saveTimetable();
    settle();
    EXPECT_TRUE(copiesIn(folder).isEmpty());
    // A new change brings it back; closing the timetable (not saving) ends it.
    main.state().mytable->cell(5, 3)->range()->setText(QStringLiteral("语文"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return copiesIn(folder).size() == 1; }, 5000));
    dialogue.saveAnswer = QMessageBox::No;
    main.closeSequence();
    settle();
    EXPECT_TRUE(copiesIn(folder).isEmpty());
}

TEST(Recovery, ClosingCourseEntryWritesTheCopyAtOnce)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    RecoveryFolders folders(root.path());
    qputenv("LUMETRA_RECOVERY_SECONDS", "3600"); // the timer alone would wait an hour

    ScriptedDialogue dialogue;
    shell::MainWindow main;
    main.show();
    entry::EntryDialog* dialog = buildAndEnter(main);
    ASSERT_NE(dialog, nullptr);
    settle();
    EXPECT_TRUE(copiesIn(platform::recoveryFolder()).isEmpty());
    dialog->fini->click();
    settle();
    const QStringList copies = copiesIn(platform::recoveryFolder());
    ASSERT_EQ(copies.size(), 1);
    const docfile::Document copy = docfile::readFile(
        QFile::encodeName(QDir(platform::recoveryFolder()).filePath(copies[0])).toStdString());
    const docfile::Table* table = nullptr;
    for (const auto& block : copy.blocks)
        if (!table)
            table = std::get_if<docfile::Table>(&block);
    ASSERT_NE(table, nullptr);
    for (size_t row : {1u, 2u, 3u}) {
        ASSERT_FALSE(table->rows[row].cells[1].paragraphs.empty());
        ASSERT_FALSE(table->rows[row].cells[1].paragraphs[0].runs.empty()) << row;
        EXPECT_EQ(table->rows[row].cells[1].paragraphs[0].runs[0].text, "数学") << row;
    }
    dialogue.saveAnswer = QMessageBox::No;
    main.closeSequence();
    settle();
    EXPECT_TRUE(copiesIn(platform::recoveryFolder()).isEmpty());
}
