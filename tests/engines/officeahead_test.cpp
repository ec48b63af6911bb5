// LibreOffice started ahead of need: New takes the office started while the
// program waited, a start nobody used ends with the program, and a start
// that failed is told only when the user asks for a timetable.

#include "automation/factory.h"
#include "support/scripteddialogue.h"
#include "support/timetablesteps.h"
#include "support/windowtest.h"

#ifdef LUMETRA_HAVE_LIBREOFFICE
#include "automation/libreoffice/officeprocess.h"
#include "automation/libreoffice/spareoffice.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>

using namespace testsupport;

namespace {

QStringList profiles()
{
    return QDir(QDir::tempPath()).entryList({"lumetra-libreoffice-*"}, QDir::Dirs | QDir::NoDotAndDotDot);
}

bool waitUntil(const std::function<bool()>& done, int ms = 30000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QTest::qWait(50);
    return done();
}

// Starting ahead allowed, for one test.
struct Ahead {
    Ahead() { qputenv("LUMETRA_LIBREOFFICE_AHEAD", "1"); }
    ~Ahead() { qputenv("LUMETRA_LIBREOFFICE_AHEAD", "0"); }
};

class OfficeAhead : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!word::engineAvailable(word::Engine::LibreOffice))
            GTEST_SKIP() << "LibreOffice is not installed";
        before = profiles();
        word::setPreferredEngine(word::Engine::LibreOffice);
    }
    void TearDown() override
    {
        word::setPreferredEngine(word::Engine::Builtin); // ends one still there
        EXPECT_TRUE(waitUntil([&] { return profiles() == before; })) << "an office started ahead was left";
    }
    QStringList before;
};

} // namespace

TEST_F(OfficeAhead, NewTakesTheOfficeStartedWhileTheProgramWaited)
{
    const Ahead ahead;
    ScriptedDialogue dialogue;
    shell::MainWindow main;
    main.show();
    ASSERT_TRUE(waitUntil(word::libreoffice::spareOfficeReady)) << "no office was started ahead";
    const QStringList waiting = profiles();
    ASSERT_EQ(waiting.size(), before.size() + 1);

    main.state().kemufile = QDir(qEnvironmentVariable("LUMETRA_SOURCE_DIR")).filePath("dist/zvn.list");
    main.newTimetable();
    settle();
    bool progressShown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] { progressShown |= topLevel("libreOfficeStarting") != nullptr; });
    watch.start(10);
    main.initDialog->Check1->setChecked(false);
    main.initDialog->OKButton->click();
    settle();
    watch.stop();
    ASSERT_TRUE(main.state().opened);
    EXPECT_FALSE(progressShown) << "New waited for a LibreOffice to start";
    EXPECT_FALSE(word::libreoffice::spareOfficeReady()) << "the office started ahead was not taken";
    EXPECT_EQ(profiles(), waiting) << "New started an office of its own";
    EXPECT_EQ(main.state().mytable->cell(1, 2)->range()->text(), QStringLiteral("星期一"));

    // Closing the timetable gets the next one ready.
    main.closeSequence();
    EXPECT_TRUE(waitUntil(word::libreoffice::spareOfficeReady));
}

TEST_F(OfficeAhead, AStartAheadThatFailsIsToldOnlyWhenATimetableIsAskedFor)
{
    const Ahead ahead;
    QTemporaryDir folder;
    QFile standIn(folder.filePath("soffice"));
    ASSERT_TRUE(standIn.open(QIODevice::WriteOnly));
    standIn.write("#!/bin/sh\nexit 3\n");
    standIn.close();
    standIn.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QByteArray program = qgetenv("LUMETRA_LIBREOFFICE_PROGRAM");
    qputenv("URE_BOOTSTRAP",
            "vnd.sun.star.pathname:" + QFile::encodeName(word::libreoffice::OfficeProcess::programFolder() + "/fundamentalrc"));
    qputenv("LUMETRA_LIBREOFFICE_PROGRAM", folder.path().toUtf8());
    {
        ScriptedDialogue dialogue;
        shell::MainWindow main;
        main.show();
        QTest::qWait(1500); // the start ahead fails meanwhile
        settle();
        EXPECT_TRUE(dialogue.messages.empty()) << "a start nobody asked for was told";

        dialogue.answers.push_back(QMessageBox::No); // not the built-in word processor instead
        main.newTimetable();
        settle();
        main.initDialog->OKButton->click();
        settle();
        ASSERT_GE(dialogue.messages.size(), 1u);
        EXPECT_TRUE(dialogue.messages.front().text.contains(QStringLiteral("退出"))) << dialogue.messages.front().text.toStdString();
        EXPECT_FALSE(main.state().opened);
        if (main.initDialog)
            main.initDialog->close();
    }
    if (program.isNull())
        qunsetenv("LUMETRA_LIBREOFFICE_PROGRAM");
    else
        qputenv("LUMETRA_LIBREOFFICE_PROGRAM", program);
}

// A program that started an office ahead and ended without using it.
TEST(OfficeAheadChild, StartsAheadAndEnds)
{
    if (qEnvironmentVariable("LUMETRA_OFFICE_AHEAD_CHILD") != "1")
        GTEST_SKIP() << "run by OfficeAhead.AnOfficeNobodyTookEndsWithTheProgram";
    word::setPreferredEngine(word::Engine::LibreOffice);
    qputenv("LUMETRA_LIBREOFFICE_AHEAD", "1");
    word::prepareEngine();
    ASSERT_TRUE(waitUntil(word::libreoffice::spareOfficeReady));
    std::printf("ready\n");
    std::fflush(stdout);
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

TEST_F(OfficeAhead, AnOfficeNobodyTookEndsWithTheProgram)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LUMETRA_OFFICE_AHEAD_CHILD", "1");
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=OfficeAheadChild.*"});
    ASSERT_TRUE(child.waitForFinished(120000));
    EXPECT_TRUE(child.readAllStandardOutput().contains("ready"));
    EXPECT_EQ(child.exitCode(), 0);
    // TearDown: its office and profile are gone.
}

#endif
