// The whole program on each word-processor engine: the same steps through
// the windows must give the same timetable whichever engine runs. The
// LibreOffice engine runs LibreOffice without windows here.

#include "automation/factory.h"
#include "create/initdialog.h"
#include "docfile/document.h"
#include "entry/entrydialog.h"
#include "platform/printdestination.h"
#include "shell/mainwindow.h"
#include "support/scripteddialogue.h"
#include "onengine.h"
#include "support/timetablesteps.h"
#include "support/programs.h"
#include "support/windowtest.h"
#ifdef LUMETRA_HAVE_LIBREOFFICE
#include "automation/libreoffice/officeapplication.h"
#endif

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>

using namespace testsupport;

namespace {

const docfile::Table& firstTable(const docfile::Document& document)
{
    for (const docfile::Block& block : document.blocks)
        if (const auto* table = std::get_if<docfile::Table>(&block))
            return *table;
    static const docfile::Table none;
    ADD_FAILURE() << "the document has no table";
    return none;
}

// The text of a cell as the reader gives it, paragraphs joined.
std::string cellText(const docfile::Cell& cell)
{
    std::string text;
    for (const docfile::Paragraph& paragraph : cell.paragraphs)
        for (const docfile::Run& run : paragraph.runs)
            text += run.text;
    return text;
}

class EngineTest : public OnEngine {
protected:
    // Course entry: Enter on every cell, the first subject each time.
    void enterAll(int cells)
    {
        entry::EntryDialog* entry = main.entryDialog;
        ASSERT_NE(entry, nullptr);
        entry->com1->setFocus();
        for (int i = 0; i < cells; ++i)
            QTest::keyClick(entry->com1, Qt::Key_Return);
        EXPECT_EQ(entry->l1->text(), QStringLiteral("输入已完成"));
    }
};

} // namespace

TEST_P(EngineTest, NewFillSaveReopenChangeSaveGivesTheTimetableInTheFile)
{
    build("4", "4", "6", true);
    enterAll(48);
    const QString first = main.entryDialog->kemu.value(0);
    main.entryDialog->fini->click();
    settle();

    const QString path = folder.filePath(QStringLiteral("高一(3)班.doc"));
    saveAs(path);
    ASSERT_TRUE(QFileInfo(path).isFile());
    action("closewd")->trigger();
    settle();
    EXPECT_TRUE(dialogue.saveQuestions.empty()); // nothing left unsaved
    ASSERT_FALSE(main.state().opened);

    open(path);
    ASSERT_TRUE(main.state().opened);
    EXPECT_EQ(main.state().hang, 10);
    EXPECT_EQ(main.state().lie, 7);
    EXPECT_EQ(main.state().morning, 5);
    EXPECT_EQ(cell(10, 7), first);
    action("inp")->trigger();
    settle();
    entry::EntryDialog* entry = main.entryDialog;
    ASSERT_NE(entry, nullptr);
    entry->com1->setCurrentIndex(entry->com1->count() - 1);
    const QString changed = entry->kemu.last();
    ASSERT_NE(changed, first);
    entry->c1->click();
    entry->fini->click();
    settle();
    const size_t filesAsked = dialogue.fileRequests.size();
    action("savefile")->trigger(); // written back to its file, nothing asked
    settle();
    EXPECT_EQ(dialogue.fileRequests.size(), filesAsked);
    action("closewd")->trigger();
    settle();

    // Our reader: the grid with the merged lunch row, the fonts, the page.
    const docfile::Document document = docfile::readFile(QFile::encodeName(path).toStdString());
    EXPECT_NEAR(document.section.pageWidth, 10319, 20);  // 18.2 cm
    EXPECT_NEAR(document.section.pageHeight, 14572, 20); // 25.7 cm
    EXPECT_NEAR(document.section.marginLeft, 1797, 20);  // 3.17 cm
    EXPECT_NEAR(document.section.marginTop, 1440, 20);   // 2.54 cm
    const auto* title = std::get_if<docfile::Paragraph>(&document.blocks.front());
    ASSERT_NE(title, nullptr);
    ASSERT_FALSE(title->runs.empty());
    EXPECT_EQ(title->runs[0].font, "黑体");
    EXPECT_EQ(title->alignment, 1);
    const docfile::Table& table = firstTable(document);
    ASSERT_EQ(table.rows.size(), 10u);
    for (size_t r = 0; r < table.rows.size(); ++r)
        EXPECT_EQ(table.rows[r].cells.size(), r == 5 ? 1u : 7u) << "row " << r + 1;
    EXPECT_EQ(cellText(table.rows[0].cells[1]), "星期一");
    EXPECT_EQ(cellText(table.rows[5].cells[0]), "午　休");
    EXPECT_EQ(cellText(table.rows[1].cells[1]), changed.toStdString());
    EXPECT_EQ(cellText(table.rows[9].cells[6]), first.toStdString());
    for (const docfile::Row& row : table.rows) {
        for (const docfile::Cell& c : row.cells) {
            EXPECT_EQ(c.verticalAlignment, 1);
            for (const docfile::Paragraph& paragraph : c.paragraphs) {
                EXPECT_EQ(paragraph.alignment, 1);
                for (const docfile::Run& run : paragraph.runs) {
                    EXPECT_EQ(run.font, "宋体") << run.text;
                    EXPECT_EQ(run.size, 9) << run.text;
                }
            }
        }
    }

    // An independent reader sees the same text.
    if (!QStandardPaths::findExecutable("catdoc").isEmpty()) {
        const QString text = run("catdoc", {"-d", "utf-8", path});
        EXPECT_TRUE(text.contains(changed)) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("星期六")));
    }
}

TEST_P(EngineTest, TimetablesItBuildsOpenAsTheirGrids)
{
    struct Shape {
        const char *morning, *afternoon, *days;
        int hang, lie, morningRow;
    };
    for (const Shape& shape : {Shape{"4", "4", "6", 10, 7, 5}, Shape{"3", "0", "5", 5, 6, 4},
                               Shape{"1", "2", "1", 5, 2, 2}, Shape{"5", "3", "7", 10, 8, 6}}) {
        SCOPED_TRACE(std::string(shape.morning) + "/" + shape.afternoon + "/" + shape.days);
        build(shape.morning, shape.afternoon, shape.days, false);
        const QString path = folder.filePath(QStringLiteral("%1%2%3.doc").arg(shape.morning, shape.afternoon, shape.days));
        saveAs(path);
        open(path);
        ASSERT_TRUE(main.state().opened);
        EXPECT_EQ(main.state().hang, shape.hang);
        EXPECT_EQ(main.state().lie, shape.lie);
        EXPECT_EQ(main.state().morning, shape.morningRow);
    }
}

TEST_P(EngineTest, ThreeCopiesPrintAsThreePages)
{
    build("4", "4", "6", false);
    const QString pdf = folder.filePath("printout.pdf");
    qputenv(platform::kPrintToPdfVariable, pdf.toUtf8());
    dialogue.inputs.push_back(QStringLiteral("3"));
    action("prin")->trigger();
    settle();
    qunsetenv(platform::kPrintToPdfVariable);
    ASSERT_FALSE(dialogue.messages.empty());
    EXPECT_EQ(dialogue.messages.back().text, QStringLiteral("正在打印，请稍等……"));
    ASSERT_TRUE(QFileInfo(pdf).isFile());
    if (QStandardPaths::findExecutable("pdfinfo").isEmpty())
        GTEST_SKIP() << "pdfinfo is not installed";
    const QString info = run("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\n"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+51[56](\\.\\d+)? x 72[89](\\.\\d+)? pts")))
        << info.toStdString();
    const QString text = run("pdftotext", {"-f", "2", "-l", "2", pdf, "-"});
    EXPECT_TRUE(text.contains(QStringLiteral("课程表"))) << text.toStdString();
}

TEST_P(EngineTest, AWordProcessorGoneDuringCourseEntryIsReportedOnceAndNewWorksAgain)
{
    build("4", "4", "6", true);
    ASSERT_NE(main.entryDialog, nullptr);
    main.entryDialog->com1->setFocus();
    QTest::keyClick(main.entryDialog->com1, Qt::Key_Return);
    settle();
#ifdef LUMETRA_HAVE_LIBREOFFICE
    if (auto* office = dynamic_cast<word::libreoffice::OfficeApplication*>(main.state().wd.get())) {
        // LibreOffice dies: killed, as a crash would end it.
        ASSERT_GT(office->processId(), 0);
        ::kill(-pid_t(office->processId()), SIGKILL);
        QTest::qWait(500);
    } else
#endif
    {
        // The built-in word processor ends when its window is closed.
        QWidget* window = topLevel("documentWindow");
        ASSERT_NE(window, nullptr);
        dialogue.saveAnswer = QMessageBox::No;
        window->close();
    }
    settle();
    if (main.entryDialog) {
        main.entryDialog->com1->setFocus();
        QTest::keyClick(main.entryDialog->com1, Qt::Key_Return);
        settle();
    }
    QTest::qWait(200);
    settle();
    EXPECT_FALSE(main.state().opened);
    EXPECT_EQ(main.entryDialog, nullptr);
    int told = 0;
    for (const auto& message : dialogue.messages)
        told += message.text.contains(QStringLiteral("已经被关闭")) ? 1 : 0;
    EXPECT_LE(told, 1);
    EXPECT_FALSE(action("prin")->isEnabled());

    build("3", "3", "5", false);
    EXPECT_TRUE(main.state().opened);
    EXPECT_EQ(cell(1, 2), QStringLiteral("星期一"));
}

INSTANTIATE_TEST_SUITE_P(Engines, EngineTest, ::testing::Values(word::Engine::Builtin, word::Engine::LibreOffice),
                         engineName);

TEST_P(EngineTest, ColumnsKeepFittingTheSubjectsWrittenIntoThem)
{
    build("4", "4", "6", false);
    main.state().mytable->cell(2, 2)->range()->setText(QStringLiteral("道德与法治"));
    main.state().mytable->cell(3, 4)->range()->setText(QStringLiteral("数学"));
    settle();
    const QString path = folder.filePath(QStringLiteral("fit.doc"));
    saveAs(path);
    ASSERT_TRUE(QFileInfo(path).isFile());
    const docfile::Document document = docfile::readFile(QFile::encodeName(path).toStdString());
    const docfile::Table& table = firstTable(document);
    ASSERT_GE(table.rows.size(), 3u);
    const auto& cells = table.rows[1].cells;
    ASSERT_EQ(cells.size(), 7u);
    // The five-character subject's column grew past the ones as wide as
    // their day names (written after the table was fitted); the period
    // labels' is still the widest.
    EXPECT_GT(cells[1].width, table.rows[2].cells[3].width + 100);
    EXPECT_GT(cells[0].width, cells[1].width);
}
