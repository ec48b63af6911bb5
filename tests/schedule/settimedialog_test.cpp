#include "create/grid.h"
#include "create/initdialog.h"
#include "schedule/periodtimes.h"
#include "schedule/settimedialog.h"
#include "shell/mainwindow.h"
#include "support/scripteddialogue.h"
#include "support/windowtest.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace testsupport;

namespace {

class SetTimeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        main.show();
        main.newTimetable();
        settle();
        init = main.initDialog;
        ASSERT_NE(init, nullptr);
        settime = openSetTime();
        ASSERT_NE(settime, nullptr);
    }
    void TearDown() override
    {
        if (main.initDialog)
            main.initDialog->close();
        if (main.state().opened)
            main.closeSequence();
        settle();
    }

    schedule::SetTimeDialog* openSetTime()
    {
        init->setup->click();
        settle();
        return qobject_cast<schedule::SetTimeDialog*>(init->settime.data());
    }

    ScriptedDialogue dialogue;
    shell::MainWindow main;
    create::InitDialog* init = nullptr;
    schedule::SetTimeDialog* settime = nullptr;
};

} // namespace

TEST_F(SetTimeTest, OpensBesideTheNewTimetableDialogWithItsDefaults)
{
    EXPECT_EQ(settime->windowTitle(), QStringLiteral("设置时间表"));
    EXPECT_TRUE(settime->isVisible());
    EXPECT_TRUE(init->isVisible());
    EXPECT_EQ(settime->Text1->text(), "07:50");
    EXPECT_EQ(settime->Text2->text(), "11:40");
    EXPECT_EQ(settime->Text10->text(), "45");
    EXPECT_TRUE(settime->Option2->isChecked());
    EXPECT_TRUE(settime->Check1->isChecked() && settime->Check2->isChecked());
    EXPECT_FALSE(settime->Command1->isDefault());
    EXPECT_FALSE(settime->Command2->isDefault());
    EXPECT_EQ(settime->Command1->text(), QStringLiteral("确定(&O)"));
    EXPECT_EQ(settime->Command2->text(), QStringLiteral("默认(&D)"));
    EXPECT_EQ(settime->Text1->accessibleName(), QStringLiteral("上午第一节课"));
}

TEST_F(SetTimeTest, TicksAndOptionsGreyTheirBoxesAndDefaultsRestoreTheTicks)
{
    settime->Check2->click();
    EXPECT_FALSE(settime->Text6->isEnabled());
    EXPECT_FALSE(settime->Text8->isEnabled());
    settime->Check1->click();
    EXPECT_FALSE(settime->Text7->isEnabled());
    EXPECT_FALSE(settime->Text9->isEnabled());
    settime->Option1->click();
    EXPECT_FALSE(settime->Text2->isEnabled());
    settime->Text5->setText("5");
    settime->Command2->click();
    EXPECT_EQ(settime->Text5->text(), "10");
    EXPECT_TRUE(settime->Check2->isChecked());
    EXPECT_TRUE(settime->Text6->isEnabled() && settime->Text8->isEnabled());
    EXPECT_TRUE(settime->Text7->isEnabled() && settime->Text9->isEnabled());
    // The option and the grey morning dismissal stay as they were.
    EXPECT_TRUE(settime->Option1->isChecked());
    EXPECT_FALSE(settime->Text2->isEnabled());
}

TEST_F(SetTimeTest, OkWithTheDefaultsHandsOverTheDefaultLabelsAndCloses)
{
    init->changedata({"x"});
    settime->Command1->click();
    settle();
    EXPECT_TRUE(dialogue.messages.empty());
    EXPECT_EQ(init->timetable, grid::defaultTimeLabels());
    EXPECT_EQ(init->settime, nullptr);
    // The next opening starts from the defaults again.
    settime = openSetTime();
    ASSERT_NE(settime, nullptr);
    EXPECT_EQ(settime->Text10->text(), "45");
}

TEST_F(SetTimeTest, AFailingCheckKeepsEverything)
{
    settime->Option1->click();
    settime->Text10->setText("50");
    settime->Command1->click();
    settle();
    ASSERT_EQ(dialogue.messages.size(), 1u);
    EXPECT_EQ(dialogue.messages[0].text, schedule::kCheckWarning);
    EXPECT_EQ(dialogue.messages[0].title, QStringLiteral("警告"));
    EXPECT_EQ(dialogue.messages[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(dialogue.messages[0].icon, QMessageBox::NoIcon);
    ASSERT_EQ(init->settime, settime);
    EXPECT_TRUE(settime->isVisible());
    EXPECT_EQ(settime->Text10->text(), "50");
    EXPECT_EQ(init->timetable, grid::defaultTimeLabels());
    EXPECT_EQ(settime->ttable.size(), 8);
}

TEST_F(SetTimeTest, AFieldThatCannotBeReadIsNamedAndNothingIsFormed)
{
    settime->Text3->setText("1400");
    settime->Command1->click();
    settle();
    ASSERT_EQ(dialogue.messages.size(), 1u);
    EXPECT_TRUE(dialogue.messages[0].text.contains(QStringLiteral("下午第一节课")));
    EXPECT_EQ(dialogue.messages[0].title, QStringLiteral("警告"));
    EXPECT_EQ(init->settime, settime);
    EXPECT_EQ(init->timetable, grid::defaultTimeLabels());

    // No periods at all is not a silent pass either.
    settime->Text3->setText("14:00");
    init->Text1->setText("0");
    init->Text2->setText("0");
    settime->Command1->click();
    settle();
    ASSERT_EQ(dialogue.messages.size(), 2u);
    EXPECT_EQ(init->settime, settime);
}

TEST_F(SetTimeTest, CountsAreReadFromTheNewTimetableDialogWhenConfirming)
{
    init->Text1->setText("3");
    init->Text2->setText("2");
    settime->Command1->click();
    settle();
    EXPECT_TRUE(dialogue.messages.empty());
    // Five computed labels replace the first five slots.
    EXPECT_EQ(init->timetable[0], "(07:50-08:53)"); // (230 - 40) / 3 minutes each
    EXPECT_EQ(init->timetable[1], "(09:03-10:06)");
    EXPECT_EQ(init->timetable[2], "(10:36-11:40)");
    EXPECT_EQ(init->timetable[3], "(14:00-14:45)");
    EXPECT_EQ(init->timetable[4], "(14:55-17:50)");
    EXPECT_EQ(init->timetable[5], grid::defaultTimeLabels()[5]);
}

TEST_F(SetTimeTest, SetupAgainKeepsTheEntriesAndTheCloseBoxHandsNothingOver)
{
    settime->Text5->setText("12");
    EXPECT_EQ(openSetTime(), settime);
    EXPECT_EQ(settime->Text5->text(), "12");
    settime->close();
    settle();
    EXPECT_EQ(init->settime, nullptr);
    EXPECT_EQ(init->timetable, grid::defaultTimeLabels());
    settime = openSetTime();
    EXPECT_EQ(settime->Text5->text(), "10");
}

TEST_F(SetTimeTest, ClosingTheNewTimetableDialogClosesThisOne)
{
    QPointer<schedule::SetTimeDialog> watched = settime;
    init->CancelButton->click();
    settle();
    EXPECT_EQ(watched, nullptr);
}

TEST_F(SetTimeTest, AveragedLessonsReachTheBuiltDocument)
{
    settime->Text10->setText("0");
    settime->Command1->click();
    settle();
    ASSERT_EQ(init->settime, nullptr);
    init->Check1->setChecked(false);
    init->OKButton->click();
    settle();
    ASSERT_TRUE(main.state().opened);
    const auto table = main.state().mytable;
    EXPECT_EQ(table->cell(2, 1)->range()->text(), QStringLiteral("第一节(07:50-08:35)"));
    EXPECT_EQ(table->cell(7, 1)->range()->text(), QStringLiteral("第五节(14:00-14:48)"));
    EXPECT_EQ(table->cell(8, 1)->range()->text(), QStringLiteral("第六节(14:58-15:46)"));
    EXPECT_EQ(table->cell(9, 1)->range()->text(), QStringLiteral("第七节(15:56-16:44)"));
    EXPECT_EQ(table->cell(10, 1)->range()->text(), QStringLiteral("第八节(16:59-17:50)"));
}
