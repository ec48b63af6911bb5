#include "automation/factory.h"
#include "create/initdialog.h"
#include "entry/entrydialog.h"
#include "shell/mainwindow.h"
#include "subjects/subjectfile.h"
#include "support/scripteddialogue.h"
#include "support/windowtest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

using namespace testsupport;

namespace {

class EntryDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        main.show();
        ASSERT_TRUE(folder.isValid());
        main.state().kemufile = writeFile("subjects.list", "[info]\r\nsort=1\r\n[kemu]\r\n2-数学\r\n1-语文\r\n3-英语\r\n");
    }

    void TearDown() override
    {
        if (main.entryDialog)
            main.entryDialog->close();
        if (main.state().opened)
            main.closeSequence();
        settle();
    }

    QString writeFile(const QString& name, const QByteArray& content)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return path;
    }

    // New → OK with course entry on: the entry dialog opens over the timetable.
    entry::EntryDialog* newTimetableWithEntry()
    {
        main.newTimetable();
        settle();
        main.initDialog->OKButton->click();
        settle();
        entry::EntryDialog* dialog = main.entryDialog;
        EXPECT_NE(dialog, nullptr);
        if (dialog) {
            dialog->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        }
        return dialog;
    }

    QString cellText(int row, int column) { return main.state().mytable->cell(row, column)->range()->text(); }

    QTemporaryDir folder;
    ScriptedDialogue dialogue;
    shell::MainWindow main;
};

} // namespace

TEST_F(EntryDialogTest, OpensOverTheNewTimetableWithTheSubjectsSorted)
{
    entry::EntryDialog* dialog = newTimetableWithEntry();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(main.isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("请输入课程"));
    EXPECT_EQ(dialog->com1->count(), 3);
    EXPECT_EQ(dialog->com1->itemText(0), QStringLiteral("1语文"));
    EXPECT_EQ(dialog->com1->itemText(2), QStringLiteral("3英语"));
    EXPECT_EQ(dialog->l1->text(), QStringLiteral("星期一第一节上"));
    EXPECT_EQ(dialog->fini->text(), QStringLiteral("取消(&A)"));
    EXPECT_TRUE(dialog->c1->isDefault());
    EXPECT_TRUE(dialog->Check1->isChecked());
    EXPECT_EQ(dialog->height(), dialog->collapsedHeight());
    EXPECT_EQ(dialog->hang, 10);
    EXPECT_EQ(dialog->lie, 7);
    EXPECT_EQ(dialog->morning, 4);
}

TEST_F(EntryDialogTest, AWholeWeekIsFilledWithTheKeyboardAlone)
{
    entry::EntryDialog* dialog = newTimetableWithEntry();
    ASSERT_NE(dialog, nullptr);
    // Choose 数学 in the list, then Enter through Monday.
    QTest::keyClick(dialog->com1, Qt::Key_Down);
    EXPECT_EQ(dialog->kemuindex, 1);
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(dialog->com1, Qt::Key_Return);
    for (int row : {2, 3, 4, 5, 7, 8, 9, 10})
        EXPECT_EQ(cellText(row, 2), QStringLiteral("数学")) << row;
    EXPECT_EQ(cellText(6, 1), QStringLiteral("午\u3000休"));
    EXPECT_EQ(dialog->l1->text(), QStringLiteral("星期二第一节上"));
    // The focus came back to the list after each press.
    EXPECT_EQ(QApplication::focusWidget(), dialog->com1);

    QTest::keyClick(dialog->com1, Qt::Key_Up);
    for (int i = 0; i < 40; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(cellText(10, 7), QStringLiteral("语文"));
    EXPECT_EQ(dialog->l1->text(), QStringLiteral("输入已完成"));
    EXPECT_FALSE(dialog->c1->isEnabled());
    EXPECT_EQ(dialog->fini->text(), QStringLiteral("完成(&F)"));

    // Alt+P leaves the completed state on the same cell; Alt+F finishes.
    accessKey(dialog, Qt::Key_P);
    EXPECT_TRUE(dialog->c1->isEnabled());
    EXPECT_EQ(dialog->l1->text(), QStringLiteral("星期六第八节上"));
    EXPECT_EQ(dialog->fini->text(), QStringLiteral("完成(&F)"));
    accessKey(dialog, Qt::Key_F);
    settle();
    EXPECT_EQ(main.entryDialog, nullptr);
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.state().opened);
}

TEST_F(EntryDialogTest, DayButtonsDetailsAndTheUpdateBoxByAccessKeys)
{
    entry::EntryDialog* dialog = newTimetableWithEntry();
    ASSERT_NE(dialog, nullptr);
    accessKey(dialog, Qt::Key_H); // next day
    EXPECT_EQ(dialog->l1->text(), QStringLiteral("星期二第一节上"));
    accessKey(dialog, Qt::Key_Q); // previous day
    accessKey(dialog, Qt::Key_Q);
    EXPECT_EQ(dialog->l1->text(), QStringLiteral("星期一第一节上"));

    accessKey(dialog, Qt::Key_D);
    EXPECT_EQ(dialog->height(), dialog->expandedHeight());
    EXPECT_EQ(dialog->Command1->text(), QStringLiteral("无详细设置(&D)"));
    EXPECT_TRUE(dialog->Check1->isVisibleTo(dialog));
    dialog->Check1->click(); // untick: Next period moves without writing
    accessKey(dialog, Qt::Key_N);
    EXPECT_EQ(cellText(2, 2), QString());
    EXPECT_EQ(dialog->l1->text(), QStringLiteral("星期一第二节上"));
    accessKey(dialog, Qt::Key_D);
    EXPECT_EQ(dialog->height(), dialog->collapsedHeight());
    EXPECT_EQ(dialog->Command1->text(), QStringLiteral("详细设置(&D)"));
    // After the user resized the window, the next press collapses it.
    dialog->resize(dialog->width(), dialog->collapsedHeight() + 37);
    accessKey(dialog, Qt::Key_D);
    EXPECT_EQ(dialog->height(), dialog->collapsedHeight());
}

TEST_F(EntryDialogTest, ClosingThroughTheFrameShowsTheMainWindowAgain)
{
    entry::EntryDialog* dialog = newTimetableWithEntry();
    ASSERT_NE(dialog, nullptr);
    dialog->close();
    settle();
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.state().opened);
    // Input opens it again, from the start.
    main.findChild<QAction*>("inp")->trigger();
    settle();
    ASSERT_NE(main.entryDialog, nullptr);
    EXPECT_EQ(main.entryDialog->l1->text(), QStringLiteral("星期一第一节上"));
}

TEST_F(EntryDialogTest, ASubjectFileThatCannotBeReadKeepsTheDialogClosed)
{
    const QString missing = folder.filePath("missing.list");
    const QString noHyphen = writeFile("bad.list", "[info]\n[kemu]\n语文\n");
    main.state().kemufile = missing;
    main.newTimetable();
    settle();
    main.initDialog->OKButton->click();
    settle();
    EXPECT_EQ(main.entryDialog, nullptr);
    ASSERT_EQ(dialogue.messages.size(), 1u);
    EXPECT_TRUE(dialogue.messages[0].text.contains(missing));
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.state().opened);

    main.state().kemufile = noHyphen;
    main.findChild<QAction*>("inp")->trigger();
    settle();
    EXPECT_EQ(main.entryDialog, nullptr);
    ASSERT_EQ(dialogue.messages.size(), 2u);
    EXPECT_TRUE(dialogue.messages[1].text.contains(noHyphen));
    EXPECT_TRUE(dialogue.messages[1].text.contains(QStringLiteral("“-”")));
    EXPECT_TRUE(main.isVisible());
}

TEST_F(EntryDialogTest, AClosedWordProcessorEndsEntryAtOnce)
{
    entry::EntryDialog* dialog = newTimetableWithEntry();
    ASSERT_NE(dialog, nullptr);
    topLevel("documentWindow")->close();
    settle();
    EXPECT_EQ(main.entryDialog, nullptr);
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(main.state().opened);
    EXPECT_TRUE(dialogue.messages.empty());
}

// Keys, Enter, keys, Enter: what is written must not depend on how fast
// the keys come.
TEST_F(EntryDialogTest, TypingSpeedNeverChangesWhatIsWritten)
{
    main.state().kemufile = writeFile("keys.list", "[info]\r\nsort=0\r\n[kemu]\r\nyy-英语\r\nyw-语文\r\n"
                                                   "sx-数学\r\nwl-物理\r\nty-体育\r\n");
    for (int pause : {0, 600}) {
        SCOPED_TRACE(pause);
        entry::EntryDialog* dialog = newTimetableWithEntry();
        ASSERT_NE(dialog, nullptr);
        const auto type = [&](const char* keys) {
            for (const char* k = keys; *k; ++k) {
                QTest::keyClick(QApplication::focusWidget(), *k);
                QTest::qWait(pause);
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTest::qWait(pause);
        };
        type("yw");
        type("w");   // one key after a write: 物理, not "yww"
        type("sx");
        type("yy");
        type("t");
        EXPECT_EQ(cellText(2, 2), QStringLiteral("语文"));
        EXPECT_EQ(cellText(3, 2), QStringLiteral("物理"));
        EXPECT_EQ(cellText(4, 2), QStringLiteral("数学"));
        EXPECT_EQ(cellText(5, 2), QStringLiteral("英语"));
        EXPECT_EQ(cellText(7, 2), QStringLiteral("体育"));
        dialog->close();
        settle();
        main.closeSequence();
        settle();
    }
}

TEST_F(EntryDialogTest, ATableWithNoPeriodRowGetsAMessageAndNoDialog)
{
    for (int rows : {1, 2}) {
        auto wd = word::createObject("word.application");
        wd->documents()->add();
        auto table = wd->activeDocument()->tables()->add(wd->selection()->range(), rows, 7, 1);
        wd->setVisible(true);
        main.adoptTimetable(wd, table, rows, rows, 7);
        dialogue.messages.clear();
        main.startEntry();
        settle();
        EXPECT_EQ(main.entryDialog, nullptr) << rows;
        EXPECT_TRUE(main.isVisible());
        ASSERT_EQ(dialogue.messages.size(), 1u);
        EXPECT_TRUE(dialogue.messages[0].text.contains(QStringLiteral("无法输入课程"))) << rows;
        EXPECT_EQ(table->cell(1, 2)->range()->text(), QString());
        main.closeSequence();
    }
}

TEST_F(EntryDialogTest, ACellTheTableDoesNotHaveIsRefusedAndTheCursorStays)
{
    // A document whose table is smaller than the grid the main window holds.
    auto wd = word::createObject("word.application");
    wd->documents()->add();
    auto table = wd->activeDocument()->tables()->add(wd->selection()->range(), 2, 7, 1);
    wd->setVisible(true);
    main.adoptTimetable(wd, table, 5, 10, 7);
    main.startEntry();
    settle();
    entry::EntryDialog* dialog = main.entryDialog;
    ASSERT_NE(dialog, nullptr);
    dialog->c1->click(); // row 2 exists
    EXPECT_EQ(dialogue.messages.size(), 0u);
    dialog->c1->click(); // row 3 does not
    ASSERT_EQ(dialogue.messages.size(), 1u);
    EXPECT_TRUE(dialogue.messages[0].text.contains(QStringLiteral("第 3 行")));
    EXPECT_EQ(dialog->l1->text(), QStringLiteral("星期一第二节上"));
    EXPECT_EQ(dialog->cursor.cell().row, 3);
    EXPECT_TRUE(main.state().opened);
}

TEST_F(EntryDialogTest, LoadSubjectFileChecksTheChosenFile)
{
    const QString before = main.state().kemufile;
    // Cancel: nothing changes, nothing is shown.
    dialogue.files.push_back(QString());
    main.findChild<QAction*>("loadkemu")->trigger();
    ASSERT_EQ(dialogue.fileRequests.size(), 1u);
    const dialogue::FileRequest& request = dialogue.fileRequests[0];
    EXPECT_EQ(request.title, QStringLiteral("打开课程描述文件"));
    EXPECT_EQ(request.filter, QStringLiteral("课程描述文件(*.list)|*.list"));
    EXPECT_EQ(request.defaultExtension, QStringLiteral("*.list"));
    EXPECT_EQ(request.fileName, QString());
    EXPECT_TRUE(dialogue.messages.empty());
    EXPECT_EQ(main.state().kemufile, before);

    const QList<std::pair<QString, subjects::Fault>> faulty{
        {folder.filePath("none.list"), subjects::Fault::Missing},
        {writeFile("a.list", "[kemu]\r\n1-语文\r\n"), subjects::Fault::NoInfo},
        {writeFile("b.list", "[info]\r\nsort=1\r\n"), subjects::Fault::NoKemu},
        {writeFile("c.list", "[info]\r\n[kemu]\r\n1-语文\r\n数学\r\n"), subjects::Fault::NoHyphen},
    };
    for (const auto& [path, fault] : faulty) {
        dialogue.files.push_back(path);
        main.findChild<QAction*>("loadkemu")->trigger();
        ASSERT_FALSE(dialogue.messages.empty());
        const dialogue::Message& message = dialogue.messages.back();
        EXPECT_EQ(message.text, subjects::checkMessage(fault));
        EXPECT_EQ(message.title, QStringLiteral("Lumetra"));
        EXPECT_EQ(message.buttons, QMessageBox::Ok);
        EXPECT_EQ(message.icon, QMessageBox::NoIcon);
        EXPECT_EQ(main.state().kemufile, before);
    }
    EXPECT_EQ(dialogue.messages.size(), 4u);
    EXPECT_TRUE(dialogue.messages[0].text.startsWith(QStringLiteral("您所指定的课程描述文件不存在")));

    const QString good = writeFile("good.list", "[INFO]\r\n[KEMU]\r\n1-语文\r\n");
    dialogue.files.push_back(good);
    main.findChild<QAction*>("loadkemu")->trigger();
    EXPECT_EQ(dialogue.messages.size(), 4u);
    EXPECT_EQ(main.state().kemufile, good);
}
