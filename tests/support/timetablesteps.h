#pragma once
// A test fixture that drives the main window as a user would: New with
// given counts, Save, Open, the cells of the open timetable. Every question
// on the way is answered by a scripted dialogue.

#include "create/initdialog.h"
#include "entry/entrydialog.h"
#include "shell/mainwindow.h"
#include "support/scripteddialogue.h"
#include "support/windowtest.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace testsupport {

template <typename Base = ::testing::Test>
class TimetableSteps : public Base {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        main.show();
    }

    void TearDown() override
    {
        if (main.entryDialog)
            main.entryDialog->close();
        if (main.initDialog)
            main.initDialog->close();
        dialogue.saveAnswer = QMessageBox::No;
        if (main.state().opened)
            main.closeSequence();
        settle();
    }

    QAction* action(const char* name) { return main.findChild<QAction*>(QString::fromLatin1(name)); }

    // New → OK with the given counts, course entry on or off.
    void build(const QString& morning = "4", const QString& afternoon = "4", const QString& days = "6",
               bool entry = false)
    {
        if (main.state().opened)
            dialogue.answers.push_back(QMessageBox::Yes); // close the one open
        main.newTimetable();
        settle();
        ASSERT_NE(main.initDialog, nullptr);
        main.initDialog->Text1->setText(morning);
        main.initDialog->Text2->setText(afternoon);
        main.initDialog->Text3->setText(days);
        main.initDialog->Check1->setChecked(entry);
        main.initDialog->OKButton->click();
        settle();
        ASSERT_TRUE(main.state().opened);
    }

    // Save through the main window, the file dialog answered with `path`.
    void saveAs(const QString& path)
    {
        dialogue.files.push_back(path);
        action("savefile")->trigger();
        settle();
    }

    // Open through the main window (answering the questions on the way).
    void open(const QString& path, QMessageBox::StandardButton enterNow = QMessageBox::No)
    {
        if (main.state().opened)
            dialogue.answers.push_back(QMessageBox::Yes);
        dialogue.files.push_back(path);
        dialogue.answers.push_back(enterNow);
        action("open")->trigger();
        settle();
    }

    QString cell(int row, int column) { return main.state().mytable->cell(row, column)->range()->text(); }

    QTemporaryDir folder;
    ScriptedDialogue dialogue;
    shell::MainWindow main;
};

} // namespace testsupport
