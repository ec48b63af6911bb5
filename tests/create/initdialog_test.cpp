#include "create/grid.h"
#include "create/initdialog.h"
#include "shell/mainwindow.h"
#include "support/scripteddialogue.h"
#include "support/windowtest.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace testsupport;

namespace {

class InitDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        main.show();
        main.newTimetable();
        settle();
        init = main.initDialog;
        ASSERT_NE(init, nullptr);
    }
    void TearDown() override
    {
        if (main.initDialog)
            main.initDialog->close();
        settle();
    }

    ScriptedDialogue dialogue;
    shell::MainWindow main;
    create::InitDialog* init = nullptr;
};

} // namespace

TEST_F(InitDialogTest, OpensWithItsDefaults)
{
    EXPECT_EQ(init->windowTitle(), QStringLiteral("输入基本参数"));
    EXPECT_FALSE(init->isModal());
    EXPECT_EQ(init->Text1->text(), "4");
    EXPECT_EQ(init->Text2->text(), "4");
    EXPECT_EQ(init->Text3->text(), "6");
    EXPECT_EQ(init->Text4->text(), QStringLiteral("课程表"));
    EXPECT_TRUE(init->Check1->isChecked());
    EXPECT_TRUE(init->Check2->isChecked());
    EXPECT_TRUE(init->setup->isEnabled());
    EXPECT_TRUE(init->OKButton->isDefault());
    EXPECT_EQ(init->OKButton->text(), QStringLiteral("确定(&O)"));
    EXPECT_EQ(init->CancelButton->text(), QStringLiteral("取消(&C)"));
    EXPECT_EQ(init->Check1->text(), QStringLiteral("现在就输入课程(&N)"));
    EXPECT_EQ(init->Check2->text(), QStringLiteral("我想加入时间表(&T)"));
    EXPECT_EQ(init->setup->text(), QStringLiteral("设置时间表(&S)"));
    EXPECT_FALSE(init->succ);
    EXPECT_EQ(init->timetable, grid::defaultTimeLabels());
    // Text boxes are named for screen readers by their labels.
    EXPECT_EQ(init->Text1->accessibleName(), QStringLiteral("每天上午上"));
    EXPECT_EQ(init->Text4->accessibleName(), QStringLiteral("课程表名称"));
    EXPECT_EQ(child<QLabel>(init, "Label6")->text(), QStringLiteral("天课"));
}

TEST_F(InitDialogTest, TabOrderStartsAtOk)
{
    init->activateWindow();
    init->OKButton->setFocus();
    const QList<QWidget*> order{init->CancelButton, init->Text1, init->Text2, init->Text3,
                                init->Check1,       init->Text4, init->Check2, init->setup};
    QWidget* w = init->OKButton;
    for (QWidget* expected : order) {
        w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus))
            w = w->nextInFocusChain();
        EXPECT_EQ(w, expected) << expected->objectName().toStdString();
    }
}

TEST_F(InitDialogTest, EnterPressesTheFocusedButtonAndOkElsewhere)
{
    QApplication::setActiveWindow(init);
    // On 设置时间表 Enter opens the period-time dialog and builds nothing.
    init->setup->setFocus();
    QTest::keyClick(init->setup, Qt::Key_Return);
    settle();
    ASSERT_FALSE(main.initDialog.isNull());
    EXPECT_FALSE(init->settime.isNull()) << "Enter on 设置时间表 did not open the period-time dialog";
    EXPECT_FALSE(main.state().opened);
    init->settime->close();
    settle();

    // On Cancel it cancels.
    QApplication::setActiveWindow(init);
    init->CancelButton->setFocus();
    QTest::keyClick(init->CancelButton, Qt::Key_Return);
    settle();
    EXPECT_TRUE(main.initDialog.isNull()) << "Enter on Cancel left the dialog open";
    EXPECT_FALSE(main.state().opened);

    // In a text box it is OK's.
    main.newTimetable();
    settle();
    init = main.initDialog;
    ASSERT_NE(init, nullptr);
    init->Check1->setChecked(false);
    QApplication::setActiveWindow(init);
    init->Text4->setFocus();
    QTest::keyClick(init->Text4, Qt::Key_Return);
    settle();
    EXPECT_TRUE(main.state().opened) << "Enter in the title box did not build";
    main.closeSequence();
}

TEST_F(InitDialogTest, TimeLabelsOptionEnablesSetup)
{
    init->Check2->click();
    EXPECT_FALSE(init->setup->isEnabled());
    init->Check2->click();
    EXPECT_TRUE(init->setup->isEnabled());
}

TEST_F(InitDialogTest, ChangedataOverwritesFromTheFirstSlot)
{
    init->changedata({"a", "b", "c", "d", "e", "f"});
    EXPECT_EQ(init->timetable,
              (QStringList{"a", "b", "c", "d", "e", "f", "(15:50-16:35)", "(16:50-17:50)"}));
    init->changedata({"x", "y"});
    EXPECT_EQ(init->timetable.mid(0, 3), (QStringList{"x", "y", "c"}));
    // More labels than slots enlarge the list (up to ten periods a day).
    init->changedata({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"});
    EXPECT_EQ(init->timetable.size(), 10);
    EXPECT_EQ(init->timetable.last(), "10");
}

TEST_F(InitDialogTest, EscapeAndCloseBoxResetTheMainWindow)
{
    // Even with no timetable open before, closing without building leaves
    // the main window in the no-timetable state.
    main.adoptTimetable(nullptr, nullptr, 5, 10, 7);
    QTest::keyClick(init, Qt::Key_Escape);
    settle();
    EXPECT_EQ(main.initDialog, nullptr);
    EXPECT_FALSE(main.state().opened);

    main.newTimetable();
    settle();
    main.adoptTimetable(nullptr, nullptr, 5, 10, 7);
    main.initDialog->close();
    settle();
    EXPECT_FALSE(main.state().opened);
}

TEST_F(InitDialogTest, NineLabelsAllowNinePeriods)
{
    init->changedata({"(1)", "(2)", "(3)", "(4)", "(5)", "(6)", "(7)", "(8)", "(9)"});
    init->Text1->setText("5");
    init->Check1->setChecked(false);
    init->OKButton->click();
    settle();
    EXPECT_TRUE(dialogue.messages.empty());
    ASSERT_TRUE(main.state().opened);
    EXPECT_EQ(main.state().mytable->cell(11, 1)->range()->text(), QStringLiteral("第九节(9)"));
    main.closeSequence();
}
