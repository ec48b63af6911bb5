// The command line: --help and --version, a document named on the line
// opened by the same steps and with the same messages as the Open command.

#include "about/aboutinfo.h"
#include "create/initdialog.h"
#include "platform/commandline.h"
#include "shell/mainwindow.h"
#include "support/scripteddialogue.h"
#include "support/windowtest.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>

using platform::CommandLine;
using platform::parseCommandLine;
using namespace testsupport;

namespace {

CommandLine parse(const QStringList& arguments)
{
    return parseCommandLine(QStringList{QStringLiteral("lumetra")} + arguments);
}

// Runs `body` with `folder` as the current folder.
template <typename Body>
void inFolder(const QString& folder, Body body)
{
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder));
    body();
    QDir::setCurrent(before);
}

} // namespace

TEST(CommandLineOptions, HelpAndVersionWinOverEverythingElseOnTheLine)
{
    for (const QStringList& line : {QStringList{"--help"}, {"-h"}, {"-help"}, {"a.doc", "--help"},
                                    {"--no-such-option", "-h"}, {"a.doc", "b.doc", "--help", "--version"}})
        EXPECT_EQ(parse(line).action, CommandLine::Action::Help) << line.join(' ').toStdString();
    // Before QApplication has taken Qt's options off the line they are
    // still there: "-reverse" must not read as -r -e -v ...
    for (const QStringList& line : {QStringList{"--version"}, {"-v"}, {"-platform", "offscreen", "--version"},
                                    {"-reverse", "--version"}, {"-style=fusion", "-v"}})
        EXPECT_EQ(parse(line).action, CommandLine::Action::Version) << line.join(' ').toStdString();
    EXPECT_EQ(parse({"-reverse"}).action, CommandLine::Action::Error);
}

TEST(CommandLineOptions, MistakesAreNamedAndNothingIsOpened)
{
    const CommandLine unknown = parse({"--word-processr=builtin", "a.doc"});
    EXPECT_EQ(unknown.action, CommandLine::Action::Error);
    EXPECT_TRUE(unknown.error.contains(QStringLiteral("“--word-processr”"))) << unknown.error.toStdString();
    EXPECT_TRUE(unknown.file.isEmpty());

    const CommandLine two = parse({"a.doc", "b.doc"});
    EXPECT_EQ(two.action, CommandLine::Action::Error);
    EXPECT_TRUE(two.error.contains(QStringLiteral("一次只能打开一个文件"))) << two.error.toStdString();
    EXPECT_TRUE(two.file.isEmpty());

    EXPECT_EQ(parse({""}).action, CommandLine::Action::Error);
    EXPECT_EQ(platform::answerCommandLine(two), 2);
}

TEST(CommandLineOptions, TheWordProcessorComesFromTheLineElseTheEnvironment)
{
    qunsetenv(platform::kWordProcessorVariable);
    QString problem;
    EXPECT_EQ(platform::chosenWordProcessor(parse({"a.doc"}), &problem), QString());
    const CommandLine office = parse({"--word-processor=LibreOffice", "a.doc"});
    ASSERT_EQ(office.action, CommandLine::Action::Run);
    EXPECT_EQ(platform::chosenWordProcessor(office, &problem), QStringLiteral("libreoffice"));
    EXPECT_TRUE(office.file.endsWith(QStringLiteral("a.doc")));

    const CommandLine wrong = parse({"--word-processor=word"});
    EXPECT_EQ(wrong.action, CommandLine::Action::Error);
    EXPECT_TRUE(wrong.error.contains(QStringLiteral("“word”"))) << wrong.error.toStdString();

    qputenv(platform::kWordProcessorVariable, "libreoffice");
    EXPECT_EQ(platform::chosenWordProcessor(parse({}), &problem), QStringLiteral("libreoffice"));
    EXPECT_EQ(platform::chosenWordProcessor(parse({"--word-processor=builtin"}), &problem), QStringLiteral("builtin"));
    EXPECT_TRUE(problem.isEmpty());
    qputenv(platform::kWordProcessorVariable, "wordperfect");
    EXPECT_EQ(platform::chosenWordProcessor(parse({}), &problem), QString());
    EXPECT_TRUE(problem.contains(QStringLiteral("wordperfect"))) << problem.toStdString();
    qunsetenv(platform::kWordProcessorVariable);
}

TEST(CommandLineOptions, AFileIsMadeAbsoluteWhateverFormItCameIn)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString here = QDir(folder.path()).canonicalPath();
    inFolder(here, [&] {
        EXPECT_EQ(parse({}).action, CommandLine::Action::Run);
        EXPECT_TRUE(parse({}).file.isEmpty());
        EXPECT_EQ(parse({"课程表.doc"}).file, here + QStringLiteral("/课程表.doc"));
        EXPECT_EQ(parse({"sub/../t.doc"}).file, here + "/t.doc");
        EXPECT_EQ(parse({"/abs/t.doc"}).file, "/abs/t.doc");
        // A name starting with a dash, after "--".
        EXPECT_EQ(parse({"--", "-t.doc"}).file, here + "/-t.doc");
        // What a file manager may pass for %f or %u.
        const QString url = QUrl::fromLocalFile(QStringLiteral("/tmp/初二 (3) 班.doc")).toString(QUrl::FullyEncoded);
        ASSERT_TRUE(url.startsWith("file:///tmp/%E5")) << url.toStdString();
        EXPECT_EQ(parse({url}).file, QStringLiteral("/tmp/初二 (3) 班.doc"));
    });
}

TEST(CommandLineOptions, HelpAndVersionTexts)
{
    const QString usage = platform::usageText();
    EXPECT_TRUE(usage.startsWith(QStringLiteral("用法：lumetra [选项] [文件.doc]\n")));
    for (const char* text : {"-h, --help", "-v, --version", "--word-processor=<引擎>", "LUMETRA_PRINT_PDF",
                             "LUMETRA_WORD_PROCESSOR", "FONTCONFIG_FILE"})
        EXPECT_TRUE(usage.contains(QString::fromUtf8(text))) << text;
    // Option descriptions line up in one column.
    const qsizetype helpColumn = usage.indexOf(QStringLiteral("显示本帮助")) - usage.lastIndexOf('\n', usage.indexOf("--help"));
    const qsizetype versionColumn = usage.indexOf(QStringLiteral("显示版本号")) - usage.lastIndexOf('\n', usage.indexOf("--version"));
    EXPECT_EQ(helpColumn, versionColumn);

    const qsizetype engineColumn =
        usage.indexOf(QStringLiteral("使用的文字处理程序")) - usage.lastIndexOf('\n', usage.indexOf("--word-processor"));
    EXPECT_EQ(engineColumn, helpColumn);

    // The version CMake gives is the one the about box shows.
    EXPECT_EQ(platform::programVersion(),
              QStringLiteral("%1.%2.%3").arg(about::kMajor).arg(about::kMinor).arg(about::kRevision));
    EXPECT_EQ(platform::versionText(), QStringLiteral("lumetra %1\n").arg(platform::programVersion()));
}

namespace {

// A document on the command line against the same document through the
// Open dialog, in one main window.
class FileOnTheCommandLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        main.show();
        settle();
    }

    void TearDown() override
    {
        dialogue.saveAnswer = QMessageBox::No;
        if (main.state().opened)
            main.closeSequence();
        settle();
    }

    // New → OK (course entry off), then saved as `path`.
    void makeTimetable(const QString& path)
    {
        main.newTimetable();
        settle();
        ASSERT_NE(main.initDialog, nullptr);
        main.initDialog->Text1->setText("3");
        main.initDialog->Text2->setText("2");
        main.initDialog->Text3->setText("5");
        main.initDialog->Check1->setChecked(false);
        main.initDialog->OKButton->click();
        settle();
        ASSERT_TRUE(main.state().opened);
        dialogue.files.push_back(path);
        main.findChild<QAction*>("savefile")->trigger();
        settle();
        ASSERT_TRUE(QFileInfo(path).isFile());
        main.closeSequence();
        settle();
        ASSERT_FALSE(main.state().opened);
    }

    struct Outcome {
        bool opened = false;
        int hang = 0, lie = 0, morning = 0;
        std::vector<QString> messages;
    };

    Outcome outcome(size_t messagesBefore)
    {
        Outcome o{main.state().opened, main.state().hang, main.state().lie, main.state().morning, {}};
        for (size_t i = messagesBefore; i < dialogue.messages.size(); ++i)
            o.messages.push_back(dialogue.messages[i].text);
        if (main.state().opened)
            main.closeSequence();
        settle();
        return o;
    }

    // `opens`: whether the file is expected to open, and so to be followed
    // by the question 现在就输入课程吗？ (answered No).
    Outcome throughOpen(const QString& path, bool opens)
    {
        const size_t before = dialogue.messages.size();
        dialogue.files.push_back(path);
        if (opens)
            dialogue.answers.push_back(QMessageBox::No);
        main.findChild<QAction*>("open")->trigger();
        settle();
        return outcome(before);
    }

    Outcome throughCommandLine(const QStringList& arguments, bool opens)
    {
        const CommandLine line = parseCommandLine(QStringList{"lumetra"} + arguments);
        EXPECT_EQ(line.action, CommandLine::Action::Run);
        const size_t before = dialogue.messages.size();
        if (opens)
            dialogue.answers.push_back(QMessageBox::No);
        main.openFile(line.file);
        settle();
        return outcome(before);
    }

    QTemporaryDir folder;
    ScriptedDialogue dialogue;
    shell::MainWindow main;
};

} // namespace

TEST_F(FileOnTheCommandLine, ATimetableOpensAsThroughTheOpenDialog)
{
    const QString path = folder.filePath(QStringLiteral("三年级.doc"));
    makeTimetable(path);
    const Outcome viaOpen = throughOpen(path, true);
    ASSERT_TRUE(viaOpen.opened);
    EXPECT_EQ(viaOpen.hang, 7);    // the day row, 3 + 2 periods, the lunch row
    EXPECT_EQ(viaOpen.lie, 6);     // 5 days and the period column

    // Relative to the folder the program was started in, and as a URL.
    inFolder(folder.path(), [&] {
        const Outcome viaLine = throughCommandLine({QStringLiteral("三年级.doc")}, true);
        EXPECT_TRUE(viaLine.opened);
        EXPECT_EQ(viaLine.hang, viaOpen.hang);
        EXPECT_EQ(viaLine.lie, viaOpen.lie);
        EXPECT_EQ(viaLine.morning, viaOpen.morning);
        EXPECT_EQ(viaLine.messages, viaOpen.messages);
    });
    const Outcome viaUrl = throughCommandLine({QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)}, true);
    EXPECT_TRUE(viaUrl.opened);
    EXPECT_EQ(viaUrl.messages, viaOpen.messages);
}

TEST_F(FileOnTheCommandLine, AFileThatCannotBeOpenedGetsTheOpenCommandsMessage)
{
    const QString broken = folder.filePath("broken.doc");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("This is not a Word document at all.\n");
    file.close();

    for (const QString& path : {broken, folder.filePath("missing.doc")}) {
        const Outcome viaOpen = throughOpen(path, false);
        const Outcome viaLine = throughCommandLine({path}, false);
        EXPECT_FALSE(viaOpen.opened) << path.toStdString();
        EXPECT_FALSE(viaLine.opened) << path.toStdString();
        ASSERT_EQ(viaOpen.messages.size(), 1u) << path.toStdString();
        EXPECT_TRUE(viaOpen.messages.front().contains(QFileInfo(path).fileName()))
            << viaOpen.messages.front().toStdString();
        EXPECT_EQ(viaLine.messages, viaOpen.messages);
        EXPECT_EQ(topLevel("documentWindow"), nullptr);
    }
}
