// A whole timetable made with LibreOffice as the word processor (build,
// course entry, save, more entry, print, quit), with the office killed,
// stopped or its connection dropped before each step in turn. After the
// fault the program lives on, says at most one thing about it, keeps its
// windows consistent, leaves no office or profile behind, and every subject
// written before the fault is in the saved file or in the recovery copy
// the user is told of.

#include "automation/factory.h"
#include "platform/printdestination.h"
#include "support/scripteddialogue.h"
#include "support/timetablesteps.h"
#include "support/windowtest.h"

#ifdef LUMETRA_HAVE_LIBREOFFICE
#include "automation/libreoffice/enginestate.h"
#include "automation/libreoffice/officeapplication.h"
#include "docfile/document.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <csignal>

using namespace testsupport;

namespace {

enum class Fault { Killed, Stopped, PipeClosed };
enum class Step { Entry, CloseEntry, Save, MoreEntry, Print, Quit };

struct Case {
    Fault fault;
    Step step;
};

std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    static const char* faults[] = {"Killed", "Stopped", "PipeClosed"};
    static const char* steps[] = {"Entry", "CloseEntry", "Save", "MoreEntry", "Print", "Quit"};
    return std::string(faults[int(info.param.fault)]) + "Before" + steps[int(info.param.step)];
}

std::vector<Case> allCases()
{
    std::vector<Case> cases;
    for (Fault fault : {Fault::Killed, Fault::Stopped, Fault::PipeClosed})
        for (Step step : {Step::Entry, Step::CloseEntry, Step::Save, Step::MoreEntry, Step::Print, Step::Quit})
            cases.push_back({fault, step});
    return cases;
}

QStringList profiles()
{
    return QDir(QDir::tempPath()).entryList({"lumetra-libreoffice-*"}, QDir::Dirs | QDir::NoDotAndDotDot);
}

// Every text of a document's first table, cell by cell.
QStringList tableTexts(const QString& path)
{
    QStringList texts;
    try {
        const docfile::Document document = docfile::readFile(QFile::encodeName(path).toStdString());
        for (const docfile::Block& block : document.blocks) {
            const auto* table = std::get_if<docfile::Table>(&block);
            if (!table)
                continue;
            for (const docfile::Row& row : table->rows)
                for (const docfile::Cell& cell : row.cells) {
                    std::string text;
                    for (const docfile::Paragraph& paragraph : cell.paragraphs)
                        for (const docfile::Run& run : paragraph.runs)
                            text += run.text;
                    texts << QString::fromStdString(text);
                }
            break;
        }
    } catch (const docfile::Error& error) {
        ADD_FAILURE() << path.toStdString() << ": " << error.what();
    }
    return texts;
}

class FaultInjection : public TimetableSteps<::testing::TestWithParam<Case>> {
protected:
    void SetUp() override
    {
        if (!word::engineAvailable(word::Engine::LibreOffice))
            GTEST_SKIP() << "LibreOffice is not installed";
        ASSERT_TRUE(home.isValid());
        // Copies, kept files and the printout in folders of the test's own.
        keep("HOME", home.path());
        keep("XDG_DATA_HOME", home.filePath("data"));
        keep("LUMETRA_RECOVERY_SECONDS", "0");
        keep("LUMETRA_LIBREOFFICE_CALL_SECONDS", "2");
        keep(platform::kPrintToPdfVariable, home.filePath("printout.pdf"));
        word::setPreferredEngine(word::Engine::LibreOffice);
        main.state().kemufile = QDir(qEnvironmentVariable("LUMETRA_SOURCE_DIR")).filePath("dist/zvn.list");
        before = profiles();
        TimetableSteps::SetUp();
    }

    void TearDown() override
    {
        if (group > 0)
            ::kill(-pid_t(group), SIGCONT);
        TimetableSteps::TearDown();
        word::setPreferredEngine(word::Engine::Builtin);
        for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
            if (it->second.isNull())
                qunsetenv(it->first);
            else
                qputenv(it->first, it->second);
        }
    }

    void keep(const char* name, const QString& value)
    {
        saved.emplace_back(name, qgetenv(name));
        qputenv(name, value.toUtf8());
    }

    static void pause(int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            QTest::qWait(20);
            settle();
        }
    }

    void inject(Fault fault)
    {
        auto* office = dynamic_cast<word::libreoffice::OfficeApplication*>(main.state().wd.get());
        ASSERT_NE(office, nullptr);
        switch (fault) {
        case Fault::Killed:
            ::kill(-pid_t(group), SIGKILL);
            break;
        case Fault::Stopped:
            ::kill(-pid_t(group), SIGSTOP);
            dialogue.answers.push_back(QMessageBox::No); // do not wait on: end it
            break;
        case Fault::PipeClosed:
            office->state()->office->closeConnection();
            break;
        }
        faultAt = dialogue.messages.size();
    }

    // Enter on the subject shown, `n` times: each writes a cell.
    void enter(int n)
    {
        for (int i = 0; i < n && main.entryDialog; ++i) {
            const QString subject = main.entryDialog->kemu.value(main.entryDialog->kemuindex);
            main.entryDialog->com1->setFocus();
            QTest::keyClick(main.entryDialog->com1, Qt::Key_Return);
            settle();
            if (main.state().opened)
                written << subject;
        }
    }

    void run(Step step)
    {
        switch (step) {
        case Step::Entry:
            enter(3);
            break;
        case Step::CloseEntry:
            if (main.entryDialog)
                main.entryDialog->close();
            break;
        case Step::Save:
            saveAs(home.filePath("课程表.doc"));
            if (main.state().opened && QFileInfo::exists(home.filePath("课程表.doc")))
                savedFile = home.filePath("课程表.doc");
            break;
        case Step::MoreEntry:
            action("inp")->trigger();
            settle();
            enter(1);
            if (main.entryDialog)
                main.entryDialog->close();
            break;
        case Step::Print:
            dialogue.inputs.push_back(QStringLiteral("1"));
            action("prin")->trigger();
            break;
        case Step::Quit:
            dialogue.saveAnswer = QMessageBox::Yes;
            action("closewd")->trigger();
            break;
        }
        settle();
    }

    QTemporaryDir home;
    std::vector<std::pair<const char*, QByteArray>> saved;
    QStringList before;
    qint64 group = 0;
    size_t faultAt = 0;
    QStringList written; // subjects written before the fault, as shown
    QString savedFile;
};

} // namespace

TEST_P(FaultInjection, NothingWrittenIsLostAndNothingIsLeftBehind)
{
    const Case c = GetParam();
    build("4", "4", "6", true);
    ASSERT_NE(main.entryDialog, nullptr);
    group = dynamic_cast<word::libreoffice::OfficeApplication*>(main.state().wd.get())->processId();
    ASSERT_GT(group, 0);

    const Step steps[] = {Step::Entry, Step::CloseEntry, Step::Save, Step::MoreEntry, Step::Print, Step::Quit};
    for (Step step : steps) {
        if (step == c.step)
            inject(c.fault);
        run(step);
        // The copies follow the changes as they are made.
        pause(300);
        if (step == c.step)
            break;
    }
    QElapsedTimer clock;
    clock.start();
    while (main.state().opened && clock.elapsed() < 10000)
        pause(100);

    // The timetable is closed, the windows agree, the office is gone.
    EXPECT_FALSE(main.state().opened);
    EXPECT_EQ(main.state().opened, action("prin")->isEnabled());
    EXPECT_EQ(main.entryDialog, nullptr);
    EXPECT_TRUE(main.isVisible());
    while ((::kill(-pid_t(group), 0) == 0 || profiles() != before) && clock.elapsed() < 20000)
        pause(100);
    EXPECT_EQ(profiles(), before) << "a profile was left behind";

    // At most one message about it (a stopped office first asks whether to
    // wait on).
    std::vector<dialogue::Message> told(dialogue.messages.begin() + qsizetype(faultAt), dialogue.messages.end());
    if (c.fault == Fault::Stopped && !told.empty() && told.front().text.contains(QStringLiteral("没有响应")))
        told.erase(told.begin());
    QStringList texts;
    for (const auto& message : told)
        texts << message.text;
    EXPECT_LE(told.size(), 1u) << texts.join(" | ").toStdString();

    // Every subject written before the fault is in the saved file or in a
    // file the user was told of.
    QStringList found = savedFile.isEmpty() ? QStringList() : tableTexts(savedFile);
    for (const auto& message : told) {
        const qsizetype at = message.text.indexOf(QStringLiteral("已保存为："));
        if (at < 0)
            continue;
        for (const QString& line : message.text.mid(at).split(u'\n').mid(1))
            if (QFileInfo(line.trimmed()).isFile())
                found << tableTexts(line.trimmed());
    }
    if (c.step != Step::Entry)
        EXPECT_EQ(written.size(), c.step >= Step::Print ? 4 : 3) << "the run before the fault did not write";
    QStringList missing;
    for (const QString& subject : written) {
        const qsizetype have = found.count(subject);
        if (have < written.count(subject))
            missing << subject;
    }
    missing.removeDuplicates();
    EXPECT_TRUE(missing.isEmpty()) << "lost: " << missing.join(", ").toStdString() << " (kept: "
                                   << found.join(",").toStdString() << "; told: " << texts.join(" | ").toStdString()
                                   << ")";
}

INSTANTIATE_TEST_SUITE_P(Office, FaultInjection, ::testing::ValuesIn(allCases()), caseName);

#endif
