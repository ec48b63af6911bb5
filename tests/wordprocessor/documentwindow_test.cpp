// The document window as a word processor: the format toolbar follows the
// cursor, the format and table commands work from the keyboard, and what
// is made by hand is saved, exported and undone as a user expects.

#include "automation/builtin/builtinapplication.h"
#include "wordprocessor/documentwindow.h"
#include "wordprocessor/document.h"
#include "wordprocessor/fontsizes.h"
#include "wordprocessor/tableediting.h"
#include "create/builder.h"
#include "docfile/document.h"
#include "support/scripteddialogue.h"
#include "builtwindow.h"
#include "support/windowtest.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextTable>

using namespace testsupport;
using namespace wordprocessor;
using word::builtin::BuiltinApplication;

using DocumentWindowTest = BuiltWindowTest;

TEST(FontSizes, ChineseNamesAndPointsBothWay)
{
    EXPECT_EQ(fontSizeFromText(QStringLiteral("小四")), 12.0);
    EXPECT_EQ(fontSizeFromText(QStringLiteral("五号")), 10.5);
    EXPECT_EQ(fontSizeFromText(QStringLiteral("初号")), 42.0);
    EXPECT_EQ(fontSizeFromText(QStringLiteral(" 13 ")), 13.0);
    EXPECT_EQ(fontSizeFromText(QStringLiteral("10.3磅")), 10.5); // half points, as a file keeps them
    EXPECT_EQ(fontSizeFromText(QStringLiteral("１０．５")), 10.5);   // typed in full-width mode
    EXPECT_FALSE(fontSizeFromText(QStringLiteral("大")));
    EXPECT_FALSE(fontSizeFromText(QStringLiteral("0")));
    EXPECT_FALSE(fontSizeFromText(QStringLiteral("2000")));
    EXPECT_EQ(fontSizeText(9), QStringLiteral("小五"));
    EXPECT_EQ(fontSizeText(13), QStringLiteral("13"));
    for (const QString& choice : fontSizeChoices())
        EXPECT_TRUE(fontSizeFromText(choice)) << choice.toStdString();
}

TEST(FontSizes, GrowAndShrinkStepThroughTheListAndStayInRange)
{
    EXPECT_EQ(nextFontSize(10.5, true), 11.0);
    EXPECT_EQ(nextFontSize(10.5, false), 10.0);
    EXPECT_EQ(nextFontSize(13, true), 14.0); // a size off the list goes to its neighbour
    EXPECT_EQ(nextFontSize(13, false), 12.0);
    EXPECT_EQ(nextFontSize(72, true), 73.0);
    EXPECT_EQ(nextFontSize(5, false), 4.0);
    EXPECT_EQ(nextFontSize(1, false), 1.0);
    EXPECT_EQ(nextFontSize(1638, true), 1638.0);
}

TEST_F(DocumentWindowTest, TheFormatToolbarFollowsTheCursor)
{
    // The title: 黑体 at the document's size.
    QTextCursor title(editor->document());
    editor->setTextCursor(title);
    settle();
    EXPECT_EQ(familyShown(), QStringLiteral("黑体"));
    EXPECT_EQ(sizeShown(), QStringLiteral("五号"));
    EXPECT_TRUE(action("documentAlignCenter")->isChecked());
    EXPECT_FALSE(action("documentMergeCells")->isEnabled()); // not in a table

    // A day cell: 宋体 9 pt, centred top to bottom.
    goToCell(0, 1);
    EXPECT_EQ(familyShown(), QStringLiteral("宋体"));
    EXPECT_EQ(sizeShown(), QStringLiteral("小五"));
    EXPECT_TRUE(action("documentCellCenter")->isChecked());
    EXPECT_TRUE(action("documentMergeCells")->isEnabled());
}

TEST_F(DocumentWindowTest, FormatCommandsFromTheKeyboardReachTheSavedFile)
{
    goToCell(1, 1);
    QTest::keyClick(editor, Qt::Key_B, Qt::ControlModifier);
    EXPECT_TRUE(action("documentBold")->isChecked());
    editor->insertPlainText(QStringLiteral("语文")); // as an input method gives it
    QTest::keyClick(editor, Qt::Key_R, Qt::ControlModifier); // right-aligned
    EXPECT_TRUE(action("documentAlignRight")->isChecked());
    // A size typed into the toolbar's box.
    QComboBox* size = window->findChild<QComboBox*>("documentFontSize");
    QTextCursor cell = editor->textCursor();
    cell.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    editor->setTextCursor(cell);
    size->setFocus();
    size->lineEdit()->setText(QStringLiteral("小四"));
    QTest::keyClick(size->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), editor) << "the keyboard did not go back to the text";
    settle();

    const QString path = folder.filePath("formatted.doc");
    dialogue.files.push_back(path);
    action("documentSaveAs")->trigger();
    settle();
    const docfile::Document saved = docfile::readFile(QFile::encodeName(path).toStdString());
    const auto& cellModel = std::get<docfile::Table>(saved.blocks.at(1)).rows.at(1).cells.at(1);
    ASSERT_EQ(cellModel.paragraphs.at(0).runs.size(), 1u);
    const docfile::Run& run = cellModel.paragraphs[0].runs[0];
    EXPECT_EQ(run.text, "语文");
    EXPECT_TRUE(run.bold);
    EXPECT_EQ(run.size, 12.0);
    EXPECT_EQ(cellModel.paragraphs[0].alignment, 2);
}

TEST_F(DocumentWindowTest, TableCommandsAddRemoveMergeAndSplit)
{
    goToCell(2, 2);
    action("documentInsertRowBelow")->trigger();
    EXPECT_EQ(table()->rows(), 11);
    // The new row looks like the one it was made beside.
    const QTextTableCell added = table()->cellAt(3, 2);
    EXPECT_EQ(added.firstCursorPosition().blockCharFormat().fontPointSize(), 9.0);
    EXPECT_EQ(added.format().verticalAlignment(), QTextCharFormat::AlignMiddle);
    action("documentDeleteRows")->trigger(); // the cursor is still in row 2
    EXPECT_EQ(table()->rows(), 10);

    goToCell(1, 1);
    action("documentInsertColumnRight")->trigger();
    EXPECT_EQ(table()->columns(), 8);
    goToCell(1, 2);
    action("documentDeleteColumns")->trigger();
    EXPECT_EQ(table()->columns(), 7);

    // Two cells of a day merged, then split again. As in Word, each cell's
    // text becomes a paragraph of the merged cell, an empty one none.
    table()->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("数学"));
    table()->cellAt(2, 1).firstCursorPosition().insertText(QStringLiteral("语文"));
    selectCells(1, 1, 3, 1);
    action("documentMergeCells")->trigger();
    EXPECT_EQ(table()->cellAt(1, 1).rowSpan(), 3);
    QStringList paragraphs;
    for (auto it = table()->cellAt(1, 1).begin(); !it.atEnd(); ++it)
        paragraphs << it.currentBlock().text();
    EXPECT_EQ(paragraphs, (QStringList{QStringLiteral("数学"), QStringLiteral("语文")}));
    action("documentUndo")->trigger();
    EXPECT_EQ(table()->cellAt(1, 1).rowSpan(), 1);
    EXPECT_EQ(table()->cellAt(2, 1).firstCursorPosition().block().text(), QStringLiteral("语文"));
    selectCells(1, 1, 2, 1);
    action("documentMergeCells")->trigger();
    EXPECT_EQ(table()->cellAt(1, 1).rowSpan(), 2);
    goToCell(1, 1);
    action("documentSplitCells")->trigger();
    EXPECT_EQ(table()->cellAt(1, 1).rowSpan(), 1);

    goToCell(4, 4);
    action("documentCellBottom")->trigger();
    EXPECT_EQ(table()->cellAt(4, 4).format().verticalAlignment(), QTextCharFormat::AlignBottom);
    // The engine still counts the table it built.
    EXPECT_EQ(timetable.table->rows()->count(), 10);
    EXPECT_EQ(timetable.table->columns()->count(), 7);
}

TEST_F(DocumentWindowTest, UndoTakesBackAnAutomationWriteAndTheModifiedMarkFollows)
{
    editor->document()->setModified(false); // as if just saved
    // Course entry writes one cell a key press: one edit each.
    timetable.table->cell(2, 2)->range()->setText(QStringLiteral("数学"));
    settle();
    timetable.table->cell(3, 2)->range()->setText(QStringLiteral("语文"));
    settle();
    EXPECT_TRUE(editor->document()->isModified());
    EXPECT_TRUE(action("documentUndo")->isEnabled());
    action("documentUndo")->trigger();
    EXPECT_EQ(timetable.table->cell(3, 2)->range()->text(), QString());
    EXPECT_EQ(timetable.table->cell(2, 2)->range()->text(), QStringLiteral("数学"));
    action("documentUndo")->trigger();
    EXPECT_EQ(timetable.table->cell(2, 2)->range()->text(), QString());
    settle();
    EXPECT_FALSE(editor->document()->isModified());
    action("documentRedo")->trigger();
    EXPECT_EQ(timetable.table->cell(2, 2)->range()->text(), QStringLiteral("数学"));
}

// Return at the end of the title makes an empty line above the table, as
// in Word (Qt would hide an empty block right before a table), and the
// file keeps it.
TEST_F(DocumentWindowTest, AnEmptyLineAboveTheTableIsShownAndSaved)
{
    const double top = editor->document()->documentLayout()->frameBoundingRect(table()).top();
    QTextCursor title(editor->document());
    title.movePosition(QTextCursor::EndOfBlock);
    editor->setTextCursor(title);
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    EXPECT_GT(editor->document()->documentLayout()->frameBoundingRect(table()).top(), top + 10);

    const QString path = folder.filePath("blank.doc");
    dialogue.files.push_back(path);
    action("documentSaveAs")->trigger();
    settle();
    const docfile::Document saved = docfile::readFile(QFile::encodeName(path).toStdString());
    ASSERT_EQ(saved.blocks.size(), 3u);
    EXPECT_TRUE(std::get<docfile::Paragraph>(saved.blocks[1]).runs.empty());
    // Undo takes the line back, and the table moves up again.
    action("documentUndo")->trigger();
    settle();
    EXPECT_NEAR(editor->document()->documentLayout()->frameBoundingRect(table()).top(), top, 0.5);
}

TEST_F(DocumentWindowTest, PdfExportAndOpenDocumentSave)
{
    const QString pdf = folder.filePath("timetable.pdf");
    dialogue.files.push_back(pdf);
    action("documentExportPdf")->trigger();
    settle();
    ASSERT_TRUE(QFile::exists(pdf));
    if (!QStandardPaths::findExecutable("pdfinfo").isEmpty()) {
        QProcess info;
        info.start("pdfinfo", {pdf});
        ASSERT_TRUE(info.waitForFinished(60000));
        EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput()).contains(QStringLiteral("516 x 729")));
        QProcess text;
        text.start("pdftotext", {"-layout", pdf, "-"});
        ASSERT_TRUE(text.waitForFinished(60000));
        const QString lines = QString::fromUtf8(text.readAllStandardOutput());
        EXPECT_TRUE(lines.contains(QStringLiteral("星期一")) && lines.contains(QStringLiteral("第一节(07:50-08:35)")))
            << lines.toStdString();
        EXPECT_LT(lines.indexOf(QStringLiteral("第一节")), lines.indexOf(QStringLiteral("第八节")));
    }

    const QString odt = folder.filePath("timetable.odt");
    dialogue.files.push_back(odt);
    action("documentSaveAs")->trigger();
    settle();
    QFile file(odt);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("PK"));
    EXPECT_TRUE(bytes.contains("application/vnd.oasis.opendocument.text"));
    EXPECT_FALSE(editor->document()->isModified());
}

// A teacher makes the title bold, widens the period column and adds a
// note under the table: the .doc keeps all three, and LibreOffice lays out
// the .doc and the .odt as our export does.
TEST_F(DocumentWindowTest, AWidenedColumnAndANoteReachTheFilesAndLibreOfficeAlike)
{
    QTextCursor title(editor->document());
    title.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    editor->setTextCursor(title);
    action("documentBold")->trigger();
    goToCell(1, 0);
    dialogue.inputs.push_back(QStringLiteral("4.5"));
    action("documentColumnWidth")->trigger();
    ASSERT_EQ(dialogue.inputRequests.size(), 1u);
    EXPECT_EQ(dialogue.inputRequests[0].title, QStringLiteral("列宽"));
    // A width that is no length is refused and changes nothing.
    dialogue.inputs.push_back(QStringLiteral("宽一点"));
    action("documentColumnWidth")->trigger();
    ASSERT_EQ(dialogue.messages.size(), 1u);
    EXPECT_TRUE(dialogue.messages[0].text.contains(QStringLiteral("不是有效的列宽")));

    QTextCursor end(editor->document());
    end.movePosition(QTextCursor::End);
    editor->setTextCursor(end);
    editor->insertPlainText(QStringLiteral("备注：单周上体育，双周上音乐。"));

    const QString path = folder.filePath("widened.doc");
    dialogue.files.push_back(path);
    action("documentSaveAs")->trigger();
    settle();
    const docfile::Document saved = docfile::readFile(QFile::encodeName(path).toStdString());
    ASSERT_EQ(saved.blocks.size(), 3u);
    const auto& rows = std::get<docfile::Table>(saved.blocks[1]).rows;
    EXPECT_NEAR(rows.at(1).cells.at(0).width, 2551, 2); // 4.5 cm in twips
    EXPECT_EQ(rows.at(5).cells.size(), 1u);               // the lunch row stays one cell
    EXPECT_EQ(std::get<docfile::Paragraph>(saved.blocks[2]).runs.at(0).text, "备注：单周上体育，双周上音乐。");

    EXPECT_TRUE(std::get<docfile::Paragraph>(saved.blocks[0]).runs.at(0).bold);
    const QString odt = folder.filePath("widened-odt.odt");
    dialogue.files.push_back(odt);
    action("documentSaveAs")->trigger();
    settle();

    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty() || QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "LibreOffice or poppler-utils are not installed";
    const QString ours = folder.filePath("ours.pdf");
    dialogue.files.push_back(ours);
    action("documentExportPdf")->trigger();
    QProcess convert;
    convert.start(soffice, {"-env:UserInstallation=file://" + folder.filePath("profile"), "--headless", "--convert-to",
                            "pdf", "--outdir", folder.filePath("lo"), path, odt});
    ASSERT_TRUE(convert.waitForFinished(180000));
    const auto output = [](const QString& program, const QString& pdf, QStringList arguments) {
        QProcess process;
        process.start(program, arguments << pdf << (program == "pdftotext" ? QStringList{"-"} : QStringList{}));
        process.waitForFinished(60000);
        return QString::fromUtf8(process.readAllStandardOutput());
    };
    const auto lines = [&](const QString& pdf) {
        QStringList out;
        for (const QString& line : output("pdftotext", pdf, {"-layout"}).split(u'\n'))
            if (!line.trimmed().isEmpty())
                out << line.simplified();
        return out;
    };
    const auto pageSize = [&](const QString& pdf) {
        const QString info = output("pdfinfo", pdf, {});
        return info.mid(info.indexOf(QStringLiteral("Page size:")), 40).section(u'\n', 0, 0).simplified();
    };
    // From the first period's row to the eighth's: the rows are as tall
    // as LibreOffice makes them, give or take the fonts' line heights
    // (cells once had padding above and below that Word has not: 29 % more).
    const auto tableHeight = [&](const QString& pdf) {
        const QString words = output("pdftotext", pdf, {"-bbox"});
        const auto top = [&](const QString& word) {
            const int at = words.indexOf(word);
            const int y = words.lastIndexOf(QStringLiteral("yMin=\""), at);
            return at < 0 || y < 0 ? -1.0 : words.mid(y + 6, 12).section(u'"', 0, 0).toDouble();
        };
        return top(QStringLiteral("第八节")) - top(QStringLiteral("第一节"));
    };
    for (const QString& converted : {folder.filePath("lo/widened.pdf"), folder.filePath("lo/widened-odt.pdf")}) {
        SCOPED_TRACE(converted.toStdString());
        EXPECT_EQ(lines(converted), lines(ours));
        EXPECT_GT(tableHeight(converted), 50);
        EXPECT_NEAR(tableHeight(ours), tableHeight(converted), 0.1 * tableHeight(converted));
        // "516 x 729" and LibreOffice's "515.906 x 728.504" are one size.
        EXPECT_EQ(pageSize(converted).replace(QStringLiteral("515.906 x 728.504"), QStringLiteral("516 x 729")),
                  pageSize(ours));
        // The bold title in a bold CJK sans face, the cells in a serif one.
        const QString fonts = output("pdffonts", converted, {});
        EXPECT_TRUE(fonts.contains(QStringLiteral("SansCJK")) && fonts.contains(QStringLiteral("Bold"))) << fonts.toStdString();
        EXPECT_TRUE(fonts.contains(QStringLiteral("SerifCJK"))) << fonts.toStdString();
    }
}

