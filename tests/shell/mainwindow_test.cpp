#include "about/aboutbox.h"
#include "automation/factory.h"
#include "create/initdialog.h"
#include "entry/entrydialog.h"
#include "platform/helpviewer.h"
#include "platform/programfolder.h"
#include "shell/mainwindow.h"
#include "support/recordingengine.h"
#include "support/scripteddialogue.h"
#include "support/windowtest.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QPushButton>
#include <QTextBrowser>

using namespace testsupport;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        main = new shell::MainWindow;
        main->show();
    }

    void TearDown() override
    {
        if (main->state().opened) {
            dialogue.answers.push_back(QMessageBox::Yes);
        }
        main->close();
        delete main;
        word::setEngineFactory({});
        settle();
    }

    QAction* action(const char* name) { return main->findChild<QAction*>(QString::fromLatin1(name)); }

    create::InitDialog* pressNew()
    {
        action("newonly")->trigger();
        settle();
        return main->initDialog;
    }

    // New → OK with course entry off.
    void buildDefault()
    {
        create::InitDialog* init = pressNew();
        ASSERT_NE(init, nullptr);
        init->Check1->setChecked(false);
        init->OKButton->click();
        settle();
    }

    bool commandsEnabled()
    {
        const bool enabled = action("inp")->isEnabled();
        for (const char* name : {"prin", "savefile", "closewd", "picture"})
            EXPECT_EQ(action(name)->isEnabled(), enabled) << name;
        EXPECT_EQ(main->findChild<QMenu*>("edit")->isEnabled(), enabled);
        return enabled;
    }

    ScriptedDialogue dialogue;
    shell::MainWindow* main = nullptr;
};

} // namespace

TEST_F(MainWindowTest, StartsWithNoTimetableAndTheDefaultSubjectFile)
{
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Lumetra"));
    EXPECT_FALSE(main->state().opened);
    EXPECT_FALSE(commandsEnabled());
    for (const char* name : {"newonly", "open", "loadkemu", "exit", "runhelp", "about"})
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    EXPECT_EQ(main->state().kemufile, platform::inProgramFolder("zvn.list"));
    EXPECT_TRUE(main->state().kemufile.endsWith(QStringLiteral("/zvn.list")));
    auto* picture = child<QLabel>(main, "Picture1");
    EXPECT_EQ(picture->pixmap().size(), QSize(300, 172));
    EXPECT_TRUE(dialogue.messages.empty());
}

TEST(ProgramFolder, AFolderEndingInASeparatorGetsNoSecond)
{
    platform::setProgramFolder(QStringLiteral("/"));
    EXPECT_EQ(shell::defaultSubjectFile(), QStringLiteral("/zvn.list"));
    platform::setProgramFolder(QStringLiteral("/opt/lumetra"));
    EXPECT_EQ(shell::defaultSubjectFile(), QStringLiteral("/opt/lumetra/zvn.list"));
    EXPECT_EQ(platform::helpFile(), QStringLiteral("/opt/lumetra/help/index.html"));
    platform::setProgramFolder(QString());
}

TEST_F(MainWindowTest, MenusCarryTheirCaptionsAndShortcuts)
{
    const QList<std::tuple<const char*, QString, QKeySequence>> items{
        {"newonly", QStringLiteral("新建(&N)"), QKeySequence("Ctrl+N")},
        {"open", QStringLiteral("打开(&O)"), QKeySequence("Ctrl+O")},
        {"loadkemu", QStringLiteral("装入课程文件(&L)"), QKeySequence("Ctrl+L")},
        {"inp", QStringLiteral("输入(&I)"), QKeySequence("Ctrl+I")},
        {"prin", QStringLiteral("打印(&P)"), QKeySequence("Ctrl+P")},
        {"savefile", QStringLiteral("保存(&S)"), QKeySequence("Ctrl+S")},
        {"closewd", QStringLiteral("关闭课程表(&X)"), QKeySequence("Ctrl+X")},
        {"exit", QStringLiteral("退出(&Q)"), QKeySequence("Ctrl+Q")},
        {"runhelp", QStringLiteral("帮助(&H)"), QKeySequence("Ctrl+H")},
        {"about", QStringLiteral("关于(&A)"), QKeySequence("Ctrl+A")},
        {"picture", QStringLiteral("导出图片(&G)…"), QKeySequence("Ctrl+G")},
        {"batch", QStringLiteral("批量生成课程表(&B)…"), QKeySequence("Ctrl+B")},
    };
    for (const auto& [name, caption, shortcut] : items) {
        QAction* a = action(name);
        ASSERT_NE(a, nullptr) << name;
        EXPECT_EQ(a->text(), caption) << name;
        EXPECT_EQ(a->shortcut(), shortcut) << name;
    }
    QStringList menus;
    for (QAction* top : main->menuBar()->actions())
        menus << top->text();
    EXPECT_EQ(menus, (QStringList{QStringLiteral("文件(&F)"), QStringLiteral("编辑(&E)"), QStringLiteral("控制(&C)"),
                                  QStringLiteral("工具(&T)"), QStringLiteral("帮助(&H)")}));
    // No two commands share a shortcut; the new ones are named for screen readers.
    QSet<QKeySequence> shortcuts;
    for (const auto& [name, caption, shortcut] : items)
        EXPECT_TRUE(!shortcuts.contains(shortcut) && (shortcuts.insert(shortcut), true)) << name;
    for (const char* name : {"picture", "batch"})
        EXPECT_FALSE(action(name)->property("accessibleName").toString().isEmpty()) << name;
}

TEST_F(MainWindowTest, NewThenOkShowsTheTimetableAndEnablesTheCommands)
{
    QApplication::setActiveWindow(main);
    QTest::keyClick(main, Qt::Key_N, Qt::ControlModifier);
    settle();
    create::InitDialog* init = main->initDialog;
    ASSERT_NE(init, nullptr);
    EXPECT_TRUE(init->isVisible());
    EXPECT_TRUE(dialogue.messages.empty()); // no question without a timetable
    init->Check1->setChecked(false);
    QTest::keyClick(init, Qt::Key_Return); // OK is the default button
    settle();
    EXPECT_EQ(main->initDialog, nullptr);
    EXPECT_TRUE(main->state().opened);
    EXPECT_TRUE(commandsEnabled());
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->state().hang, 10);
    EXPECT_EQ(main->state().lie, 7);
    EXPECT_EQ(main->state().morning, 5);
    auto* window = topLevel("documentWindow");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(main->state().mytable->cell(6, 1)->range()->text(), QStringLiteral("午\u3000休"));

    // Close timetable quits the word processor without a question.
    action("closewd")->trigger();
    settle();
    EXPECT_FALSE(main->state().opened);
    EXPECT_FALSE(commandsEnabled());
    EXPECT_EQ(topLevel("documentWindow"), nullptr);
    EXPECT_TRUE(dialogue.messages.empty());
}

TEST_F(MainWindowTest, NewWithATimetableOpenAsksFirst)
{
    buildDefault();
    auto wd = main->state().wd;
    dialogue.answers.push_back(QMessageBox::No);
    action("newonly")->trigger();
    settle();
    ASSERT_EQ(dialogue.messages.size(), 1u);
    const dialogue::Message& question = dialogue.messages[0];
    EXPECT_EQ(question.text,
              QStringLiteral("您已经建立或打开了一个课程表，必须关闭才能建立新的课程表。现在要关闭吗？"));
    EXPECT_EQ(question.title, QStringLiteral("提问"));
    EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(question.icon, QMessageBox::NoIcon);
    EXPECT_EQ(question.defaultButton, QMessageBox::Yes);
    // No: everything stays.
    EXPECT_EQ(main->initDialog, nullptr);
    EXPECT_TRUE(main->state().opened);
    EXPECT_TRUE(wd->running());

    // Yes: the word processor quits; no timetable while the dialog is open,
    // and cancelling the dialog keeps it so.
    dialogue.answers.push_back(QMessageBox::Yes);
    create::InitDialog* init = pressNew();
    ASSERT_NE(init, nullptr);
    EXPECT_FALSE(wd->running());
    EXPECT_FALSE(main->state().opened);
    EXPECT_FALSE(commandsEnabled());
    init->CancelButton->click();
    settle();
    EXPECT_EQ(main->initDialog, nullptr);
    EXPECT_FALSE(main->state().opened);
}

TEST_F(MainWindowTest, RefusedCountsKeepTheDialogAndStartNoEngine)
{
    int engines = 0;
    word::setEngineFactory([&] {
        ++engines;
        return word::createObject("none"); // never reached
    });
    create::InitDialog* init = pressNew();
    init->Text1->setText(QStringLiteral("6"));
    init->Text2->setText(QStringLiteral("5"));
    init->OKButton->click();
    settle();
    ASSERT_EQ(dialogue.messages.size(), 1u);
    EXPECT_TRUE(dialogue.messages[0].text.contains(QStringLiteral("10")));
    EXPECT_EQ(dialogue.messages[0].title, QStringLiteral("Lumetra"));
    EXPECT_EQ(dialogue.messages[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(engines, 0);
    ASSERT_EQ(main->initDialog, init);
    EXPECT_TRUE(init->isVisible());
    EXPECT_FALSE(init->succ);
    EXPECT_EQ(init->Text1->text(), QStringLiteral("6"));

    init->Text1->setText(QStringLiteral("4"));
    init->Text2->setText(QStringLiteral("4"));
    init->Text3->setText(QStringLiteral("8"));
    init->OKButton->click();
    settle();
    ASSERT_EQ(dialogue.messages.size(), 2u);
    EXPECT_TRUE(dialogue.messages[1].text.contains(QStringLiteral("天数")));
    EXPECT_EQ(engines, 0);
}

TEST_F(MainWindowTest, AFailingEngineIsReportedAndTheDialogStaysForARetry)
{
    auto log = std::make_shared<RecordingLog>();
    log->failAt = 5;
    word::setEngineFactory([log] { return makeRecordingApplication(log); });
    create::InitDialog* init = pressNew();
    init->Check1->setChecked(false);
    init->OKButton->click();
    settle();
    ASSERT_EQ(dialogue.messages.size(), 1u);
    EXPECT_TRUE(dialogue.messages[0].text.contains(QStringLiteral("模拟的失败")));
    EXPECT_EQ(log->quits, 1);
    EXPECT_FALSE(main->state().opened);
    EXPECT_FALSE(commandsEnabled());
    ASSERT_EQ(main->initDialog, init);
    EXPECT_FALSE(init->succ);

    // Retry with a working engine.
    word::setEngineFactory({});
    init->OKButton->click();
    settle();
    EXPECT_TRUE(main->state().opened);
    EXPECT_EQ(main->initDialog, nullptr);
}

TEST_F(MainWindowTest, TheWordProcessorEndingAnyWayLeavesNoTimetableAtOnce)
{
    // Closed by its close box: the commands go at once, and New asks nothing.
    buildDefault();
    topLevel("documentWindow")->close();
    settle();
    EXPECT_FALSE(main->state().opened);
    EXPECT_FALSE(commandsEnabled());
    create::InitDialog* init = pressNew();
    ASSERT_NE(init, nullptr);
    EXPECT_TRUE(dialogue.messages.empty()) << "New asked about a timetable that is gone";
    init->Check1->setChecked(false);
    init->OKButton->click();
    settle();
    ASSERT_TRUE(main->state().opened);

    // Quit from elsewhere (the engine's own menu, a script): the same.
    main->state().wd->quit(word::DoNotSaveChanges);
    EXPECT_FALSE(main->state().opened);
    EXPECT_FALSE(commandsEnabled());
    EXPECT_TRUE(dialogue.messages.empty());
}

TEST_F(MainWindowTest, AnyEngineThatEndsIsFollowed)
{
    // The notice is part of the engine interface: a fake engine that ends
    // on its own is followed the same way.
    auto log = std::make_shared<RecordingLog>();
    word::setEngineFactory([log] { return makeRecordingApplication(log); });
    buildDefault();
    ASSERT_TRUE(main->state().opened);
    main->state().wd->quit(word::DoNotSaveChanges);
    EXPECT_FALSE(main->state().opened);
    EXPECT_FALSE(commandsEnabled());
}

TEST_F(MainWindowTest, TheDocumentWindowClosedDuringCourseEntryEndsEntry)
{
    create::InitDialog* init = pressNew();
    ASSERT_NE(init, nullptr);
    init->OKButton->click(); // course entry on
    settle();
    ASSERT_TRUE(main->state().opened);
    ASSERT_NE(main->entryDialog, nullptr);
    EXPECT_FALSE(main->isVisible());
    topLevel("documentWindow")->close();
    settle();
    EXPECT_EQ(main->entryDialog, nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(main->state().opened);
    EXPECT_FALSE(commandsEnabled());
}

TEST_F(MainWindowTest, ExitAsksWhetherToCloseTheTableFileToo)
{
    // No timetable: no question.
    main->close();
    EXPECT_TRUE(dialogue.messages.empty());
    main->show();

    buildDefault();
    auto wd = main->state().wd;
    dialogue.answers.push_back(QMessageBox::No);
    action("exit")->trigger();
    settle();
    ASSERT_EQ(dialogue.messages.size(), 1u);
    EXPECT_EQ(dialogue.messages[0].text, QStringLiteral("是否将表格文件一并关闭？"));
    EXPECT_EQ(dialogue.messages[0].title, QStringLiteral("询问"));
    EXPECT_EQ(dialogue.messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_FALSE(main->isVisible());
    // No: the word processor stays running and visible with the document.
    EXPECT_TRUE(wd->running());
    ASSERT_NE(topLevel("documentWindow"), nullptr);
    EXPECT_TRUE(topLevel("documentWindow")->isVisible());
    wd->quit();
    main->enterNoTimetable();

    main->show();
    buildDefault();
    wd = main->state().wd;
    dialogue.answers.push_back(QMessageBox::Yes);
    main->close();
    settle();
    EXPECT_FALSE(wd->running());
    main->enterNoTimetable();
}

TEST_F(MainWindowTest, OtherWindowsCloseWithTheMainWindow)
{
    create::InitDialog* init = pressNew();
    ASSERT_NE(init, nullptr);
    init->setup->click();
    QPointer<QWidget> settime = init->settime;
    ASSERT_NE(settime, nullptr);
    action("about")->trigger();
    action("about")->trigger(); // one about box at a time
    QPointer<about::AboutBox> about = main->aboutBox;
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(main->findChildren<about::AboutBox*>().size(), 1);
    main->close();
    settle();
    EXPECT_EQ(main->initDialog, nullptr);
    EXPECT_EQ(settime, nullptr);
    EXPECT_EQ(about, nullptr);
}

TEST_F(MainWindowTest, HelpWithTheHelpFileMissingShowsNoMessageOfOurOwn)
{
    platform::setProgramFolder(QStringLiteral("/nonexistent-folder"));
    main->activateWindow();
    action("runhelp")->trigger();
    settle();
    auto* help = qobject_cast<QTextBrowser*>(platform::helpWindow());
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->toPlainText().contains(QStringLiteral("/nonexistent-folder/help/index.html")));
    EXPECT_TRUE(dialogue.messages.empty());
    help->close();
    platform::setProgramFolder(QString());
}
