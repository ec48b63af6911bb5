// LibreOffice misbehaving under the program: killed, stopped, closing its
// pipe, slow to start, pressed twice. The program lives on, says at most
// one clear thing, and leaves no office or profile behind.

#include "automation/factory.h"
#include "support/scripteddialogue.h"
#include "support/timetablesteps.h"
#include "support/windowtest.h"

#ifdef LUMETRA_HAVE_LIBREOFFICE
#include "automation/libreoffice/enginestate.h"
#include "automation/libreoffice/officeapplication.h"
#include "automation/libreoffice/officeprocess.h"
#include "docfile/document.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testsupport;

namespace {

using word::libreoffice::OfficeApplication;

QStringList profiles()
{
    return QDir(QDir::tempPath()).entryList({"lumetra-libreoffice-*"}, QDir::Dirs | QDir::NoDotAndDotDot);
}

// Whether any process of the group still runs (zombies, which nobody may
// reap here, do not count).
bool groupAlive(qint64 group)
{
    if (group <= 0)
        return false;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool number = false;
        entry.toLongLong(&number);
        if (!number)
            continue;
        QFile stat("/proc/" + entry + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[2].toLongLong() == group && fields[0] != "Z" && fields[0] != "X")
            return true;
    }
    return false;
}

// Waits up to `ms` for `done`, letting events run.
bool waitUntil(const std::function<bool()>& done, int ms = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QTest::qWait(50);
        settle();
    }
    return done();
}

// An environment variable set for one test.
class Setting {
public:
    Setting(const char* name, const QByteArray& value) : m_name(name), m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~Setting()
    {
        if (m_old.isNull())
            qunsetenv(m_name);
        else
            qputenv(m_name, m_old);
    }

private:
    const char* m_name;
    QByteArray m_old;
};

// A stand-in for soffice: a script of the test's in a folder of its own.
class StandIn {
public:
    explicit StandIn(const QString& script)
    {
        const QString path = m_folder.filePath("soffice");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(script.toUtf8());
        file.close();
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        m_program = std::make_unique<Setting>("LUMETRA_LIBREOFFICE_PROGRAM", m_folder.path().toUtf8());
    }

private:
    QTemporaryDir m_folder;
    std::unique_ptr<Setting> m_program;
};

class OfficeFaults : public TimetableSteps<> {
protected:
    void SetUp() override
    {
        if (!word::engineAvailable(word::Engine::LibreOffice))
            GTEST_SKIP() << "LibreOffice is not installed";
        // Stand-ins live elsewhere; UNO's own files stay the installation's.
        realProgram = word::libreoffice::OfficeProcess::programFolder();
        qputenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:" + QFile::encodeName(realProgram + "/fundamentalrc"));
        word::setPreferredEngine(word::Engine::LibreOffice);
        main.state().kemufile = QDir(qEnvironmentVariable("LUMETRA_SOURCE_DIR")).filePath("dist/zvn.list");
        before = profiles();
        TimetableSteps::SetUp();
    }

    void TearDown() override
    {
        if (office())
            ::kill(-pid_t(office()->processId()), SIGCONT);
        TimetableSteps::TearDown();
        word::setPreferredEngine(word::Engine::Builtin);
        if (!before.isEmpty() || !profiles().isEmpty())
            EXPECT_TRUE(waitUntil([&] { return profiles() == before; })) << "a profile was left behind";
    }

    OfficeApplication* office() { return dynamic_cast<OfficeApplication*>(main.state().wd.get()); }

    // The main window's invariant: a timetable is open exactly while the
    // document commands are enabled.
    void expectConsistent()
    {
        EXPECT_EQ(main.state().opened, action("prin")->isEnabled());
        EXPECT_EQ(main.state().opened, action("closewd")->isEnabled());
    }

    int messagesContaining(const QString& text)
    {
        int n = 0;
        for (const auto& message : dialogue.messages)
            n += message.text.contains(text) ? 1 : 0;
        return n;
    }

    QString realProgram;
    QStringList before;
};

} // namespace

TEST_F(OfficeFaults, ASecondOkWhileTheOfficeStartsBuildsNothingMore)
{
    StandIn slow(QStringLiteral("#!/bin/sh\nsleep 1\nexec '%1/soffice' \"$@\"\n").arg(realProgram));
    main.newTimetable();
    settle();
    ASSERT_NE(main.initDialog, nullptr);
    QPointer<create::InitDialog> init = main.initDialog;
    init->Check1->setChecked(false);
    // The second press comes while the first one's office is starting (as
    // a press the window system let through would).
    int pressed = 0;
    QTimer::singleShot(400, [&] {
        if (init) {
            init->OKButton->click();
            QTest::keyClick(init, Qt::Key_Return);
            ++pressed;
        }
        main.newTimetable();
        main.openTimetable();
        QTest::keyClick(&main, Qt::Key_O, Qt::ControlModifier);
        QTest::keyClick(&main, Qt::Key_N, Qt::ControlModifier);
    });
    init->OKButton->click();
    settle();
    EXPECT_EQ(pressed, 1);
    ASSERT_TRUE(main.state().opened);
    EXPECT_EQ(profiles().size(), before.size() + 1) << "more than one office started";
    EXPECT_TRUE(dialogue.fileRequests.empty()) << "Open ran inside the build";
    EXPECT_EQ(cell(1, 2), QStringLiteral("星期一"));
    expectConsistent();
}

TEST_F(OfficeFaults, AnOfficeThatClosesItsPipeAtTheHandshakeIsAStartFailure)
{
    // Listens where the office would, takes the connection and drops it.
    StandIn dropping(QStringLiteral(R"(#!/usr/bin/python3
import os, re, socket, sys, time
name = re.search(r'pipe,name=([^;]+);', ' '.join(sys.argv)).group(1)
path = '/tmp/OSL_PIPE_%d_%s' % (os.getuid(), name)
server = socket.socket(socket.AF_UNIX)
server.bind(path)
server.listen(1)
for _ in range(3):
    connection, _ = server.accept()
    connection.close()
time.sleep(2)
os.unlink(path)
)"));
    try {
        word::libreoffice::OfficeApplication::create();
        ADD_FAILURE() << "a dropped connection started an office";
    } catch (const word::AutomationError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("断开了连接")) || error.message().contains(QStringLiteral("退出")))
            << error.message().toStdString();
    }
    EXPECT_TRUE(waitUntil([&] { return profiles() == before; }));
}

TEST_F(OfficeFaults, AStoppedOfficeIsEndedWhenTheUserStopsWaiting)
{
    Setting limit("LUMETRA_LIBREOFFICE_CALL_SECONDS", "2");
    build("4", "4", "6", true);
    ASSERT_NE(office(), nullptr);
    const qint64 group = office()->processId();
    ::kill(-pid_t(group), SIGSTOP);
    const size_t shown = dialogue.messages.size();
    dialogue.answers.push_back(QMessageBox::No); // stop waiting
    main.entryDialog->com1->setFocus();
    QTest::keyClick(main.entryDialog->com1, Qt::Key_Return);
    settle();
    waitUntil([&] { return !main.state().opened; });
    ASSERT_GE(dialogue.messages.size(), shown + 1);
    EXPECT_TRUE(dialogue.messages[shown].text.contains(QStringLiteral("没有响应")));
    EXPECT_EQ(dialogue.messages[shown].buttons, QMessageBox::Yes | QMessageBox::No);
    ASSERT_EQ(dialogue.messages.size(), shown + 2) << "one message after the question";
    EXPECT_TRUE(dialogue.messages.back().text.startsWith(QStringLiteral("没有响应的 LibreOffice 已经结束")))
        << dialogue.messages.back().text.toStdString();
    EXPECT_FALSE(main.state().opened);
    EXPECT_EQ(main.entryDialog, nullptr);
    EXPECT_TRUE(main.isVisible());
    expectConsistent();
    EXPECT_TRUE(waitUntil([&] { return !groupAlive(group); })) << "the stopped office still runs";
}

TEST_F(OfficeFaults, AnOfficeStoppedUnderRecoveryCopiesEndsWithTheCopiesKept)
{
    // The copies are what the engine was walking when the office was
    // ended: the end comes after the walk, and keeps every copy apart.
    const Setting limit("LUMETRA_LIBREOFFICE_CALL_SECONDS", "2");
    const Setting data("XDG_DATA_HOME", folder.filePath("data").toUtf8());
    const Setting home("HOME", folder.path().toUtf8());
    build("4", "4", "6", false);
    main.state().mytable->cell(2, 2)->range()->setText(QStringLiteral("数学"));
    main.state().wd->documents()->add();
    main.state().wd->selection()->typeText(QStringLiteral("备忘"));
    main.state().wd->keepRecoveryCopies();
    const qint64 group = office()->processId();
    ::kill(-pid_t(group), SIGSTOP);
    const size_t shown = dialogue.messages.size();
    dialogue.answers.push_back(QMessageBox::No); // stop waiting
    main.state().wd->keepRecoveryCopies();
    EXPECT_TRUE(waitUntil([&] { return !main.state().opened; }));
    expectConsistent();
    ASSERT_EQ(dialogue.messages.size(), shown + 2) << "the question, then one note";
    const QString note = dialogue.messages.back().text;
    const QStringList kept = note.mid(note.indexOf(QStringLiteral("已保存为："))).split(u'\n').mid(1);
    ASSERT_EQ(kept.size(), 2) << note.toStdString();
    QStringList texts;
    for (const QString& file : kept) {
        ASSERT_TRUE(QFileInfo(file.trimmed()).isFile()) << note.toStdString();
        const docfile::Document document = docfile::readFile(QFile::encodeName(file.trimmed()).toStdString());
        for (const docfile::Block& block : document.blocks) {
            if (const auto* paragraph = std::get_if<docfile::Paragraph>(&block))
                for (const docfile::Run& run : paragraph->runs)
                    texts << QString::fromStdString(run.text);
            if (const auto* table = std::get_if<docfile::Table>(&block))
                for (const docfile::Run& run : table->rows.at(1).cells.at(1).paragraphs.at(0).runs)
                    texts << QString::fromStdString(run.text);
        }
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("数学"))) << texts.join(u',').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("备忘"))) << texts.join(u',').toStdString();
    EXPECT_TRUE(waitUntil([&] { return !groupAlive(group); })) << "the stopped office still runs";
}

TEST_F(OfficeFaults, AnOfficeStoppedBeforeItsTurnIsOverEndsCleanly)
{
    // A cell written leaves Writer work for the end of the turn (the
    // columns' widths); the office stops before that end comes.
    const Setting limit("LUMETRA_LIBREOFFICE_CALL_SECONDS", "2");
    build("4", "4", "6", false);
    main.state().mytable->cell(2, 2)->range()->setText(QStringLiteral("数学"));
    const qint64 group = office()->processId();
    ::kill(-pid_t(group), SIGSTOP);
    dialogue.answers.push_back(QMessageBox::No); // stop waiting
    EXPECT_TRUE(waitUntil([&] { return !main.state().opened; }));
    expectConsistent();
    EXPECT_TRUE(waitUntil([&] { return !groupAlive(group); })) << "the stopped office still runs";
}

TEST_F(OfficeFaults, AnOfficeKilledUnderCourseEntrysErrorBoxDoesNotTakeTheBoxWithIt)
{
    // Real boxes: the fault lived in a box on the stack of a dialog that the
    // end of the office deleted while the box was up.
    build("4", "4", "6", true);
    ASSERT_NE(office(), nullptr);
    const qint64 group = office()->processId();
    dialogue::setCurrent(nullptr);
    ::kill(-pid_t(group), SIGSTOP);
    QTimer::singleShot(300, [group] { ::kill(-pid_t(group), SIGKILL); });
    int boxes = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        // Answered once the office's end has been dealt with meanwhile.
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (box->property("seen").toBool()) {
                ++boxes;
                box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
            } else {
                box->setProperty("seen", true);
            }
        }
    });
    answer.start(700);
    main.entryDialog->com1->setFocus();
    QTest::keyClick(main.entryDialog->com1, Qt::Key_Return);
    waitUntil([&] { return !main.state().opened && !main.entryDialog; });
    answer.stop();
    dialogue::setCurrent(&dialogue);
    EXPECT_EQ(boxes, 1);
    EXPECT_FALSE(main.state().opened);
    EXPECT_EQ(main.entryDialog, nullptr);
    EXPECT_TRUE(main.isVisible());
    expectConsistent();
}

TEST_F(OfficeFaults, SavingIntoAnOfficeKilledUnderTheSaveQuestionIsAnErrorOfTheEngine)
{
    build("4", "4", "6", false);
    main.state().mytable->cell(2, 2)->range()->setText(QStringLiteral("数学"));
    const qint64 group = office()->processId();
    // The office dies while the save question is up; the answer is Yes.
    dialogue.saveAnswer = QMessageBox::Yes;
    dialogue.onMessage = [group](const dialogue::Message&) {
        ::kill(-pid_t(group), SIGKILL);
        QTest::qWait(200);
    };
    EXPECT_TRUE(main.closeSequence());
    dialogue.onMessage = nullptr;
    EXPECT_FALSE(main.state().opened);
    expectConsistent();
    EXPECT_LE(messagesContaining(QStringLiteral("关闭")), 1);

    // Saving at once after the office died, before anyone noticed.
    build("4", "4", "6", false);
    ::kill(-pid_t(office()->processId()), SIGKILL);
    try {
        main.state().wd->activeDocument()->save();
        ADD_FAILURE() << "saved into a dead office";
    } catch (const word::AutomationError& error) {
        EXPECT_EQ(error.kind(), word::AutomationError::NotRunning) << error.message().toStdString();
    }
}

TEST_F(OfficeFaults, ClosingTheProgramWithoutTheTimetableKeepsItsWork)
{
    build("4", "4", "6", false);
    main.state().mytable->cell(2, 2)->range()->setText(QStringLiteral("数学"));
    const qint64 group = office()->processId();
    const Setting home("HOME", folder.path().toUtf8()); // the documents folder
    dialogue.answers.push_back(QMessageBox::No); // "是否将表格文件一并关闭？"
    main.close();
    settle();
    // Without windows the office cannot be left to the user: its work is
    // in a file, and the user is told which.
    ASSERT_FALSE(dialogue.messages.empty());
    const QString note = dialogue.messages.back().text;
    const qsizetype from = note.indexOf(u'\n') + 1;
    ASSERT_GT(from, 0) << note.toStdString();
    const QString kept = note.mid(from).section(u'\n', 0, 0);
    ASSERT_TRUE(QFileInfo(kept).isFile()) << note.toStdString();
    const docfile::Document document = docfile::readFile(QFile::encodeName(kept).toStdString());
    bool found = false;
    for (const docfile::Block& block : document.blocks)
        if (const auto* table = std::get_if<docfile::Table>(&block))
            for (const docfile::Paragraph& p : table->rows.at(1).cells.at(1).paragraphs)
                for (const docfile::Run& run : p.runs)
                    found = found || run.text == "数学";
    EXPECT_TRUE(found) << "the kept file lacks the cell written";
    EXPECT_TRUE(waitUntil([&] { return !groupAlive(group); }));
    main.state().forgetTimetable();
    main.enterNoTimetable();
}

TEST_F(OfficeFaults, ClosingTheProgramOverAStoppedOfficeSaysWhereItsWorkIs)
{
    const Setting limit("LUMETRA_LIBREOFFICE_CALL_SECONDS", "2");
    const Setting data("XDG_DATA_HOME", folder.filePath("data").toUtf8());
    const Setting home("HOME", folder.path().toUtf8());
    build("4", "4", "6", false);
    main.state().mytable->cell(2, 2)->range()->setText(QStringLiteral("数学"));
    main.state().wd->keepRecoveryCopies();
    const qint64 group = office()->processId();
    ::kill(-pid_t(group), SIGSTOP);
    dialogue.answers.push_back(QMessageBox::No); // "是否将表格文件一并关闭？"
    dialogue.answers.push_back(QMessageBox::No); // stop waiting
    main.close();
    settle();
    // The office could neither be left to the user nor store the work: the
    // recovery copy is kept instead, and the user is told where.
    ASSERT_FALSE(dialogue.messages.empty());
    const QString note = dialogue.messages.back().text;
    const qsizetype at = note.indexOf(QStringLiteral("已保存为："));
    ASSERT_GE(at, 0) << note.toStdString();
    const QString kept = note.mid(at).section(u'\n', 1, 1).trimmed();
    ASSERT_TRUE(QFileInfo(kept).isFile()) << note.toStdString();
    const docfile::Document document = docfile::readFile(QFile::encodeName(kept).toStdString());
    bool found = false;
    for (const docfile::Block& block : document.blocks)
        if (const auto* table = std::get_if<docfile::Table>(&block))
            for (const docfile::Run& run : table->rows.at(1).cells.at(1).paragraphs.at(0).runs)
                found = found || run.text == "数学";
    EXPECT_TRUE(found) << "the kept file lacks the cell written";
    EXPECT_TRUE(waitUntil([&] { return !groupAlive(group); })) << "the stopped office still runs";
    main.state().forgetTimetable();
    main.enterNoTimetable();
}

TEST_F(OfficeFaults, AnOfficeHandedToTheUserOutlivesItsProgramAndItsProfileGoesWithIt)
{
    auto wd = OfficeApplication::create();
    wd->documents()->add();
    const qint64 group = wd->processId();
    const QStringList withOffice = profiles();
    ASSERT_EQ(withOffice.size(), before.size() + 1);
    wd->state()->handOver();
    wd.reset();
    QTest::qWait(500);
    EXPECT_TRUE(groupAlive(group)) << "the office did not outlive its program";
    EXPECT_EQ(profiles(), withOffice);
    // The user ends it: the profile goes too. (Its launcher is this test's
    // child, reaped here as the system reaps it once the program is gone.)
    ::kill(-pid_t(group), SIGTERM);
    ::waitpid(pid_t(group), nullptr, 0);
    EXPECT_TRUE(waitUntil([&] { return profiles() == before; }, 15000));
    ::kill(-pid_t(group), SIGKILL);
}

TEST_F(OfficeFaults, AStartRemovesTheProfilesOfOfficesThatAreGone)
{
    // One left by an office that is gone, one whose office still runs (its
    // lock is held), one being made this moment (no lock yet).
    QDir temporary(QDir::tempPath());
    const QString gone = temporary.filePath("lumetra-libreoffice-gone01");
    const QString running = temporary.filePath("lumetra-libreoffice-runs01");
    const QString making = temporary.filePath("lumetra-libreoffice-make01");
    for (const QString& path : {gone, running, making})
        ASSERT_TRUE(QDir().mkpath(path + "/user"));
    QFile(gone + "/lumetra.lock").open(QIODevice::WriteOnly);
    const int held = ::open(QFile::encodeName(running + "/lumetra.lock").constData(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    word::libreoffice::OfficeProcess::removeLeftProfiles();
    EXPECT_FALSE(QFileInfo::exists(gone));
    EXPECT_TRUE(QFileInfo::exists(running));
    EXPECT_TRUE(QFileInfo::exists(making));
    ::close(held);
    QDir(running).removeRecursively();
    QDir(making).removeRecursively();
}

// The program ended by a signal, as a crash or a logout would: its office
// ends too and leaves no profile.
TEST(OfficeChild, StartsAnOfficeAndWaits)
{
    if (qEnvironmentVariable("LUMETRA_OFFICE_CHILD") != "1")
        GTEST_SKIP() << "run by OfficeFaults.AnOfficeEndsWithAProgramThatIsKilled";
    auto wd = OfficeApplication::create();
    wd->documents()->add();
    std::printf("office %lld\n", static_cast<long long>(wd->processId()));
    std::fflush(stdout);
    QTest::qWait(60000);
}

TEST_F(OfficeFaults, AnOfficeEndsWithAProgramThatIsKilled)
{
    for (const int signal : {SIGKILL, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LUMETRA_OFFICE_CHILD", "1");
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=OfficeChild.*"});
        ASSERT_TRUE(child.waitForStarted());
        QByteArray said;
        const auto told = [&] { return said.indexOf('\n', said.indexOf("office ")) > said.indexOf("office "); };
        while (!(said.contains("office ") && told()) && child.waitForReadyRead(60000))
            said += child.readAllStandardOutput();
        const qint64 group = said.mid(said.indexOf("office ") + 7).split('\n').value(0).trimmed().toLongLong();
        ASSERT_GT(group, 0) << said.toStdString();
        ASSERT_TRUE(groupAlive(group));
        ::kill(pid_t(child.processId()), signal);
        child.waitForFinished();
        EXPECT_TRUE(waitUntil([&] { return !groupAlive(group); }, 15000)) << "the office outlived its program";
        EXPECT_TRUE(waitUntil([&] { return profiles() == before; }, 15000)) << "its profile was left behind";
    }
}

#endif
