// Opening, saving and printing timetables through the main window and the
// built-in word processor, checked with independent programs where they
// can see what we wrote.

#include "automation/builtin/builtinapplication.h"
#include "wordprocessor/document.h"
#include "automation/factory.h"
#include "create/initdialog.h"
#include "entry/entrydialog.h"
#include "platform/printdestination.h"
#include "shell/mainwindow.h"
#include "support/scripteddialogue.h"
#include "support/timetablesteps.h"
#include "support/files.h"
#include "support/programs.h"
#include "support/windowtest.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace testsupport;

namespace {

class FilesTest : public TimetableSteps<> {
protected:
    // A file of the corpus, copied into the test's folder: opening a file
    // writes its lock beside it, and the corpus is shared.
    QString copyOf(const char* name)
    {
        const QString copy = folder.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(QFile::copy(corpus(name), copy)) << name;
        return copy;
    }
};

} // namespace

TEST_F(FilesTest, ASavedTimetableOpensWithItsGridWorkedOutFromTheTable)
{
    struct Case {
        const char *morning, *afternoon, *days;
        int hang, lie, morningRow;
    };
    for (const Case& c : {Case{"4", "4", "6", 10, 7, 5}, Case{"0", "3", "5", 5, 6, 1}, Case{"4", "0", "7", 6, 8, 5}}) {
        build(c.morning, c.afternoon, c.days);
        const QString path = folder.filePath(QStringLiteral("%1-%2-%3.doc").arg(c.morning, c.afternoon, c.days));
        saveAs(path);
        ASSERT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
        ASSERT_EQ(dialogue.fileRequests.back().title, QStringLiteral("另存为"));
        EXPECT_EQ(QFileInfo(dialogue.fileRequests.back().fileName).fileName(), QStringLiteral("课程表.doc"));

        open(path);
        ASSERT_TRUE(main.state().opened) << path.toStdString();
        EXPECT_EQ(main.state().hang, c.hang);
        EXPECT_EQ(main.state().lie, c.lie);
        EXPECT_EQ(main.state().morning, c.morningRow);
        EXPECT_EQ(cell(1, 2), QStringLiteral("星期一"));
        EXPECT_EQ(cell(c.morningRow + 1, 1), QStringLiteral("午\u3000休"));
        EXPECT_EQ(main.state().mytable->rows()->item(c.morningRow + 1)->cells()->count(), 1);
        EXPECT_TRUE(topLevel("documentWindow")->windowTitle().contains(QFileInfo(path).fileName()));
    }
    // The open dialog's settings.
    const dialogue::FileRequest& request = dialogue.fileRequests.back();
    EXPECT_EQ(request.title, QStringLiteral("打开课程表文件"));
    // The Word 97/2000 entry first, then today's Word documents and both.
    EXPECT_TRUE(request.filter.startsWith(QStringLiteral("Microsoft Office 97/2000 文档(*.doc)|*.doc|")));
    EXPECT_EQ(dialogue::toQtFilter(request.filter),
              QStringLiteral("Microsoft Office 97/2000 文档(*.doc);;Word 文档(*.docx);;所有 Word 文档(*.doc *.docx)"));
    EXPECT_EQ(request.defaultExtension, QStringLiteral("*.doc"));
    EXPECT_EQ(request.fileName, QString());
    // The question after opening.
    const dialogue::Message& question = dialogue.messages.back();
    EXPECT_EQ(question.text, QStringLiteral("现在就输入课程吗？"));
    EXPECT_EQ(question.title, QStringLiteral("问题"));
    EXPECT_EQ(question.icon, QMessageBox::Question);
    EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No);
}

TEST_F(FilesTest, TablesWrittenByOtherProgramsOpenAsGrids)
{
    open(copyOf("simple-table2.doc"));
    ASSERT_TRUE(main.state().opened);
    EXPECT_EQ(main.state().hang, 3);
    EXPECT_EQ(main.state().lie, 3);
    EXPECT_EQ(main.state().morning, 3); // no single-cell row
    EXPECT_EQ(cell(2, 3), QStringLiteral("Row 2/Cell 3"));

    open(copyOf("table-merges.doc"));
    ASSERT_TRUE(main.state().opened);
    EXPECT_EQ(main.state().hang, 4);
    EXPECT_EQ(main.state().morning, 3); // row 4 is one cell
    EXPECT_EQ(main.state().mytable->rows()->item(4)->cells()->count(), 1);
    EXPECT_EQ(cell(4, 1), QStringLiteral("K"));
}

TEST_F(FilesTest, FilesThatCannotBeTimetablesAreRefusedWithTheirReason)
{
    const QList<std::pair<const char*, QString>> refused{
        {"Word6.doc", QStringLiteral("Word 6/95")},
        {"password_password_cryptoapi.doc", QStringLiteral("密码")},
        {"empty.doc", QStringLiteral("没有表格")},
    };
    for (const auto& [name, reason] : refused) {
        const size_t before = dialogue.messages.size();
        dialogue.files.push_back(copyOf(name));
        action("open")->trigger();
        settle();
        EXPECT_FALSE(main.state().opened) << name;
        ASSERT_EQ(dialogue.messages.size(), before + 1) << name; // one message, no entry question
        EXPECT_TRUE(dialogue.messages.back().text.contains(QString::fromLatin1(name))) << name;
        EXPECT_TRUE(dialogue.messages.back().text.contains(reason)) << dialogue.messages.back().text.toStdString();
        EXPECT_EQ(topLevel("documentWindow"), nullptr) << name; // the instance just started is gone
    }
}

TEST_F(FilesTest, YesToTheCloseQuestionThenCancelLeavesNoTimetable)
{
    build();
    dialogue.answers.push_back(QMessageBox::Yes);
    dialogue.files.push_back(QString());
    action("open")->trigger();
    settle();
    ASSERT_EQ(dialogue.messages.size(), 1u);
    EXPECT_EQ(dialogue.messages[0].text,
              QStringLiteral("您已经建立或打开了一个课程表，必须关闭才能打开另外的课程表。现在要关闭吗？"));
    EXPECT_FALSE(main.state().opened);
    EXPECT_FALSE(action("inp")->isEnabled());
}

TEST_F(FilesTest, AFileLibreOfficeWroteFromOursOpensAsTheSameGrid)
{
    if (QStandardPaths::findExecutable("soffice").isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    build();
    const QString ours = folder.filePath("ours.doc");
    saveAs(ours);
    QDir(folder.path()).mkdir("lo");
    QProcess soffice;
    soffice.setProcessEnvironment([&] {
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", folder.path());
        return environment;
    }());
    soffice.start("soffice", {"-env:UserInstallation=file://" + folder.filePath("profile"), "--headless",
                              "--convert-to", "doc:MS Word 97", "--outdir", folder.filePath("lo"), ours});
    ASSERT_TRUE(soffice.waitForFinished(180000));
    const QString theirs = folder.filePath("lo/ours.doc");
    ASSERT_TRUE(QFileInfo(theirs).isFile()) << soffice.readAllStandardError().toStdString();
    open(theirs);
    ASSERT_TRUE(main.state().opened);
    EXPECT_EQ(main.state().hang, 10);
    EXPECT_EQ(main.state().lie, 7);
    EXPECT_EQ(main.state().morning, 5);
    EXPECT_EQ(cell(10, 1), QStringLiteral("第八节(16:50-17:50)"));
}

TEST_F(FilesTest, TheWholeRoadFromNewToAChangedFileAndAPrintout)
{
    // New with course entry, every cell entered with the keyboard.
    main.state().kemufile = QDir(qEnvironmentVariable("LUMETRA_SOURCE_DIR")).filePath("dist/zvn.list");
    main.newTimetable();
    settle();
    main.initDialog->OKButton->click();
    settle();
    entry::EntryDialog* entry = main.entryDialog;
    ASSERT_NE(entry, nullptr);
    entry->com1->setFocus();
    for (int i = 0; i < 48; ++i)
        QTest::keyClick(entry->com1, Qt::Key_Return);
    EXPECT_EQ(entry->l1->text(), QStringLiteral("输入已完成"));
    const QString first = entry->kemu.value(0);
    entry->fini->click();
    settle();

    // Save As, Close, Open, Input, change a cell, Save.
    const QString path = folder.filePath(QStringLiteral("高一(3)班.doc"));
    saveAs(path);
    ASSERT_TRUE(QFileInfo(path).isFile());
    action("closewd")->trigger();
    settle();
    EXPECT_TRUE(dialogue.saveQuestions.empty()); // nothing unsaved
    ASSERT_FALSE(main.state().opened);
    open(path);
    ASSERT_TRUE(main.state().opened);
    EXPECT_EQ(cell(10, 7), first);
    action("inp")->trigger();
    settle();
    entry = main.entryDialog;
    ASSERT_NE(entry, nullptr);
    entry->com1->setCurrentIndex(entry->com1->count() - 1);
    const QString changed = entry->kemu.last();
    ASSERT_NE(changed, first);
    entry->c1->click();
    entry->fini->click();
    settle();
    EXPECT_EQ(cell(2, 2), changed);
    const size_t filesAsked = dialogue.fileRequests.size();
    action("savefile")->trigger(); // an opened document is written back without a question
    settle();
    EXPECT_EQ(dialogue.fileRequests.size(), filesAsked);

    // An independent reader sees the change.
    if (!QStandardPaths::findExecutable("catdoc").isEmpty()) {
        const QString text = run("catdoc", {"-d", "utf-8", path});
        EXPECT_TRUE(text.contains(changed)) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("星期六")));
    }

    // Print 3 copies to a PDF file: three pages of the timetable.
    const QString pdf = folder.filePath("printout.pdf");
    qputenv(platform::kPrintToPdfVariable, pdf.toUtf8());
    dialogue.inputs.push_back(QStringLiteral(" 3"));
    action("prin")->trigger();
    settle();
    qunsetenv(platform::kPrintToPdfVariable);
    ASSERT_EQ(dialogue.inputRequests.size(), 1u);
    EXPECT_EQ(dialogue.inputRequests[0].prompt, QStringLiteral("您要打印几份？"));
    EXPECT_EQ(dialogue.inputRequests[0].title, QStringLiteral("打印"));
    EXPECT_EQ(dialogue.inputRequests[0].initial, QString());
    ASSERT_FALSE(dialogue.messages.empty());
    EXPECT_EQ(dialogue.messages.back().text, QStringLiteral("正在打印，请稍等……"));
    EXPECT_EQ(dialogue.messages.back().title, QStringLiteral("打印中"));
    ASSERT_TRUE(QFileInfo(pdf).isFile());
    if (!QStandardPaths::findExecutable("pdfinfo").isEmpty()) {
        const QString info = run("pdfinfo", {pdf});
        EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\n"))) << info.toStdString();
        // 18.2 × 25.7 cm.
        EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+516 x 729 pts"))) << info.toStdString();
        // (Text taken back out of a PDF may come as look-alike radicals, so
        // only characters without one are compared.)
        const QString text = run("pdftotext", {"-f", "3", "-l", "3", pdf, "-"});
        EXPECT_TRUE(text.contains(QStringLiteral("星期"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("课程表"))) << text.toStdString();
        // 黑体 and 宋体 reached the printout as a sans and a serif CJK face.
        const QString fonts = run("pdffonts", {pdf});
        EXPECT_TRUE(fonts.contains(QStringLiteral("SansCJK"))) << fonts.toStdString();
        EXPECT_TRUE(fonts.contains(QStringLiteral("SerifCJK"))) << fonts.toStdString();
    }
}

TEST_F(FilesTest, PrintCancelledOrGivenABadCountPrintsNothing)
{
    build();
    const QString pdf = folder.filePath("none.pdf");
    qputenv(platform::kPrintToPdfVariable, pdf.toUtf8());
    dialogue.inputs.push_back(std::nullopt); // Cancel
    action("prin")->trigger();
    EXPECT_TRUE(dialogue.messages.empty());
    for (const char* bad : {"", "0", "abc", "2.5", "1000", "-1"}) {
        dialogue.inputs.push_back(QString::fromLatin1(bad));
        action("prin")->trigger();
        ASSERT_FALSE(dialogue.messages.empty()) << bad;
        EXPECT_TRUE(dialogue.messages.back().text.contains(QStringLiteral("1 到 999"))) << bad;
    }
    qunsetenv(platform::kPrintToPdfVariable);
    EXPECT_FALSE(QFileInfo::exists(pdf));
    for (const auto& message : dialogue.messages)
        EXPECT_NE(message.text, QStringLiteral("正在打印，请稍等……"));
}

TEST_F(FilesTest, OpenWhileTheNewTimetableDialogIsOpenLeavesOneTimetable)
{
    const QString path = folder.filePath("saved.doc");
    build();
    saveAs(path);
    ASSERT_TRUE(main.closeSequence());

    // New, then Open with the dialog still up: the dialog goes as if
    // cancelled, and the opened document is the one timetable.
    main.newTimetable();
    settle();
    QPointer<create::InitDialog> init = main.initDialog;
    ASSERT_FALSE(init.isNull());
    open(path);
    EXPECT_TRUE(init.isNull()) << "the new-timetable dialog stayed beside the opened timetable";
    ASSERT_TRUE(main.state().opened);
    EXPECT_EQ(main.state().wd->activeDocument()->name(), QStringLiteral("saved.doc"));
    EXPECT_EQ(topLevels("documentWindow").size(), 1);

    // Open cancelled in its file dialog changes nothing: the dialog of a
    // New asked for after closing stays.
    dialogue.answers.push_back(QMessageBox::Yes);
    main.newTimetable();
    settle();
    init = main.initDialog;
    ASSERT_FALSE(init.isNull());
    dialogue.files.push_back(QString());
    action("open")->trigger();
    settle();
    EXPECT_FALSE(init.isNull());
    EXPECT_FALSE(main.state().opened);

    // And the other way round: Open first, then New asks to close it.
    init->close();
    settle();
    open(path);
    ASSERT_TRUE(main.state().opened);
    const size_t before = dialogue.messages.size();
    dialogue.answers.push_back(QMessageBox::No);
    main.newTimetable();
    settle();
    EXPECT_EQ(dialogue.messages.size(), before + 1);
    EXPECT_TRUE(main.initDialog.isNull());
    EXPECT_TRUE(main.state().opened);
}
