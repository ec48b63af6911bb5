// A timetable changed through the window's commands, by keyboard and menu,
// comes back from its .doc as it was saved: open and save again give the
// same file model. LibreOffice finds the same table in the .odt.

#include "wordprocessor/documentwindow.h"
#include "automation/factory.h"
#include "builtwindow.h"
#include "docfile/document.h"
#include "support/programs.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTextTable>

using namespace testsupport;

namespace {

class EditedRoundTrip : public BuiltWindowTest {
protected:
    void type(int row, int column, const QString& text)
    {
        goToCell(row, column);
        editor->insertPlainText(text);
    }
};

// Cell widths come back within a pixel of the screen they were laid out on.
void expectSameModel(docfile::Document a, const docfile::Document& b)
{
    ASSERT_EQ(a.blocks.size(), b.blocks.size());
    for (std::size_t i = 0; i < a.blocks.size(); ++i) {
        auto* ta = std::get_if<docfile::Table>(&a.blocks[i]);
        const auto* tb = std::get_if<docfile::Table>(&b.blocks[i]);
        if (!ta || !tb)
            continue;
        ASSERT_EQ(ta->rows.size(), tb->rows.size());
        for (std::size_t r = 0; r < ta->rows.size(); ++r) {
            ASSERT_EQ(ta->rows[r].cells.size(), tb->rows[r].cells.size()) << "row " << r;
            for (std::size_t c = 0; c < ta->rows[r].cells.size(); ++c) {
                EXPECT_NEAR(ta->rows[r].cells[c].width, tb->rows[r].cells[c].width, 15) << r << "," << c;
                ta->rows[r].cells[c].width = tb->rows[r].cells[c].width;
            }
        }
    }
    EXPECT_TRUE(a == b);
    for (std::size_t i = 0; i < a.blocks.size(); ++i)
        EXPECT_TRUE(a.blocks[i] == b.blocks[i]) << "block " << i << " differs";
}

} // namespace

TEST_F(EditedRoundTrip, EveryCommandComesBackFromTheDocAndLibreOfficeSeesTheOdtAlike)
{
    // The title bigger and bold; a note under the table.
    QTextCursor title(editor->document());
    title.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    editor->setTextCursor(title);
    action("documentBold")->trigger();
    QComboBox* size = window->findChild<QComboBox*>("documentFontSize");
    size->lineEdit()->setText(QStringLiteral("小二"));
    emit size->lineEdit()->returnPressed();
    QTextCursor end(editor->document());
    end.movePosition(QTextCursor::End);
    editor->setTextCursor(end);
    editor->insertPlainText(QStringLiteral("备注：单周上体育。"));

    // Cells: text with a look of its own each.
    type(1, 1, QStringLiteral("语文"));
    selectCells(1, 1, 1, 1);
    action("documentItalic")->trigger();
    type(1, 2, QStringLiteral("数学"));
    selectCells(1, 2, 1, 2);
    action("documentUnderline")->trigger();
    dialogue.colours.push_back(QColor(0xC0, 0, 0));
    action("documentColour")->trigger();
    type(2, 1, QStringLiteral("英语"));
    action("documentAlignRight")->trigger();
    action("documentCellBottom")->trigger();

    // The table: a row and a column in and out, merges both ways, a width
    // and a height.
    editor->setTextCursor(table()->cellAt(3, 3).firstCursorPosition());
    action("documentInsertRowBelow")->trigger();
    action("documentInsertColumnRight")->trigger();
    editor->setTextCursor(table()->cellAt(3, 4).firstCursorPosition());
    action("documentDeleteColumns")->trigger();
    selectCells(1, 4, 1, 5);
    action("documentMergeCells")->trigger();
    selectCells(2, 3, 3, 3);
    action("documentMergeCells")->trigger();
    editor->setTextCursor(table()->cellAt(1, 0).firstCursorPosition());
    dialogue.inputs.push_back(QStringLiteral("３．５")); // typed in full-width mode
    action("documentColumnWidth")->trigger();
    editor->setTextCursor(table()->cellAt(6, 1).firstCursorPosition());
    dialogue.inputs.push_back(QStringLiteral("1.2"));
    action("documentRowHeight")->trigger();
    settle();
    ASSERT_TRUE(dialogue.messages.empty()) << dialogue.messages.front().text.toStdString();

    const QString first = folder.filePath("edited.doc");
    dialogue.files.push_back(first);
    action("documentSaveAs")->trigger();
    settle();
    const docfile::Document saved = docfile::readFile(QFile::encodeName(first).toStdString());
    ASSERT_EQ(saved.blocks.size(), 3u);
    const auto& rows = std::get<docfile::Table>(saved.blocks[1]).rows;
    EXPECT_TRUE(std::get<docfile::Paragraph>(saved.blocks[0]).runs.at(0).bold);
    EXPECT_EQ(std::get<docfile::Paragraph>(saved.blocks[0]).runs.at(0).size, 18.0);
    EXPECT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows[1].cells.size(), 6u); // two cells of row 1 merged
    EXPECT_EQ(rows[2].cells[3].verticalMerge, 1);
    EXPECT_EQ(rows[3].cells[3].verticalMerge, 2);
    EXPECT_TRUE(rows[1].cells[1].paragraphs.at(0).runs.at(0).italic);
    EXPECT_TRUE(rows[1].cells[2].paragraphs.at(0).runs.at(0).underline);
    EXPECT_EQ(rows[1].cells[2].paragraphs.at(0).runs.at(0).colour, 0xC00000u);
    EXPECT_EQ(rows[2].cells[1].paragraphs.at(0).alignment, 2);
    EXPECT_EQ(rows[2].cells[1].verticalAlignment, 2);
    EXPECT_NEAR(rows[1].cells[0].width, 1984, 15); // 3.5 cm
    EXPECT_EQ(rows[6].heightRule, 1);
    EXPECT_NEAR(rows[6].height, 680, 2); // 1.2 cm

    // Open the file again and save it: the same model.
    const QString second = folder.filePath("again.doc");
    ASSERT_TRUE(QFile::copy(first, second));
    {
        auto app = word::createObject("word.application");
        word::OpenArguments arguments;
        arguments.filename = second;
        app->documents()->open(arguments)->save();
        app->quit(word::DoNotSaveChanges);
        settle();
    }
    expectSameModel(saved, docfile::readFile(QFile::encodeName(second).toStdString()));

    // The .odt in LibreOffice: the same rows and the merges.
    const QString odt = folder.filePath("edited.odt");
    dialogue.files.push_back(odt);
    action("documentSaveAs")->trigger();
    settle();
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    run(soffice, {"-env:UserInstallation=file://" + folder.filePath("profile"), "--headless", "--convert-to", "fodt",
                  "--outdir", folder.filePath("lo"), odt});
    QFile converted(folder.filePath("lo/edited.fodt"));
    ASSERT_TRUE(converted.open(QIODevice::ReadOnly)) << "LibreOffice did not convert the .odt";
    const QString xml = QString::fromUtf8(converted.readAll());
    EXPECT_EQ(xml.count(QStringLiteral("<table:table-row")), 11);
    EXPECT_TRUE(xml.contains(QStringLiteral("table:number-columns-spanned=\"2\"")));
    EXPECT_TRUE(xml.contains(QStringLiteral("table:number-rows-spanned=\"2\"")));
    EXPECT_TRUE(xml.contains(QStringLiteral("备注：单周上体育。")));
    EXPECT_TRUE(xml.contains(QStringLiteral("fo:font-size=\"18pt\"")));
}
