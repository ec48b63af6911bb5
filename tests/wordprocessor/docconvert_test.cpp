#include "automation/builtin/builtinapplication.h"
#include "wordprocessor/docconvert.h"
#include "wordprocessor/rowheights.h"
#include "automation/factory.h"
#include "create/builder.h"
#include "docfile/samples.h"
#include "platform/printdestination.h"
#include "support/printers.h"

#include <QAbstractTextDocumentLayout>
#include <QPrinterInfo>
#include <QTextBlock>
#include <QTextFrame>
#include <gtest/gtest.h>

using namespace wordprocessor;
using word::builtin::BuiltinApplication;

namespace {

std::shared_ptr<DocumentData> activeOf(const std::shared_ptr<word::Application>& app)
{
    return std::dynamic_pointer_cast<BuiltinApplication>(app)->state()->active;
}

} // namespace

TEST(DocConvert, TheDefaultTimetableBecomesATitleAndAGridInTheModel)
{
    create::BuildRequest request{"4", "4", "6", QStringLiteral("课程表"), true, grid::defaultTimeLabels()};
    const auto timetable = create::build(request, {4, 4, 6});
    timetable.table->cell(2, 2)->range()->setText(QStringLiteral("语文"));
    const docfile::Document model = toModel(*activeOf(timetable.application));

    // The page: 18.2 × 25.7 cm with the builder's margins, in twips.
    EXPECT_EQ(model.section.pageWidth, 10318);
    EXPECT_EQ(model.section.pageHeight, 14570);
    EXPECT_EQ(model.section.marginLeft, 1797);
    EXPECT_EQ(model.section.marginTop, 1440);
    EXPECT_EQ(model.section.headerDistance, 850);

    ASSERT_EQ(model.blocks.size(), 2u); // no stray empty paragraph around the table
    const auto& title = std::get<docfile::Paragraph>(model.blocks[0]);
    EXPECT_EQ(title.alignment, 1);
    ASSERT_EQ(title.runs.size(), 1u);
    EXPECT_EQ(title.runs[0].text, "课程表");
    EXPECT_EQ(title.runs[0].font, "黑体");

    const auto& table = std::get<docfile::Table>(model.blocks[1]);
    ASSERT_EQ(table.rows.size(), 10u);
    EXPECT_EQ(table.rows[5].cells.size(), 1u);
    ASSERT_EQ(table.rows[5].cells[0].paragraphs.size(), 1u);
    EXPECT_EQ(table.rows[5].cells[0].paragraphs[0].runs.at(0).text, "午\u3000休");
    const auto& monday = table.rows[1].cells[1];
    EXPECT_EQ(monday.verticalAlignment, 1);
    EXPECT_EQ(monday.paragraphs.at(0).alignment, 1);
    EXPECT_EQ(monday.paragraphs.at(0).runs.at(0).text, "语文");
    EXPECT_EQ(monday.paragraphs.at(0).runs.at(0).font, "宋体");
    EXPECT_DOUBLE_EQ(monday.paragraphs.at(0).runs.at(0).size, 9.0);
    // Every row spans the same width, the merged row included, and the
    // table fills the space between the margins.
    auto rowWidth = [](const docfile::Row& row) {
        std::int32_t width = 0;
        for (const auto& cell : row.cells)
            width += cell.width;
        return width;
    };
    for (const auto& row : table.rows)
        EXPECT_NEAR(rowWidth(row), rowWidth(table.rows[0]), 20);
    EXPECT_NEAR(rowWidth(table.rows[0]), 10318 - 2 * 1797, 60);
    EXPECT_GT(table.rows[1].cells[0].width, table.rows[1].cells[1].width); // the period column is widest
    timetable.application->quit(word::DoNotSaveChanges);
}

TEST(DocConvert, AModelReadBackGivesTheSameModel)
{
    create::BuildRequest request{"0", "3", "7", QString(), false, grid::defaultTimeLabels()};
    const auto timetable = create::build(request, {0, 3, 7});
    const docfile::Document first = toModel(*activeOf(timetable.application));
    timetable.application->quit(word::DoNotSaveChanges);

    DocumentData again;
    again.text = std::make_unique<QTextDocument>();
    again.text->setDefaultFont(defaultDocumentFont());
    fromModel(first, again);
    applyPage(again);
    const docfile::Document second = toModel(again);
    EXPECT_EQ(second.section, first.section);
    ASSERT_EQ(second.blocks.size(), first.blocks.size());
    const auto& a = std::get<docfile::Table>(first.blocks[1]);
    const auto& b = std::get<docfile::Table>(second.blocks[1]);
    ASSERT_EQ(a.rows.size(), b.rows.size());
    for (size_t r = 0; r < a.rows.size(); ++r) {
        ASSERT_EQ(a.rows[r].cells.size(), b.rows[r].cells.size()) << r;
        for (size_t c = 0; c < a.rows[r].cells.size(); ++c) {
            EXPECT_EQ(a.rows[r].cells[c].paragraphs, b.rows[r].cells[c].paragraphs) << r << "," << c;
            EXPECT_NEAR(a.rows[r].cells[c].width, b.rows[r].cells[c].width, 30) << r << "," << c;
        }
    }
}

namespace {

// A fresh document as the engine makes one, filled from `model`.
std::unique_ptr<DocumentData> documentOf(const docfile::Document& model)
{
    auto document = std::make_unique<DocumentData>();
    document->text = std::make_unique<QTextDocument>();
    document->text->setDefaultFont(defaultDocumentFont());
    fromModel(model, *document);
    applyPage(*document);
    return document;
}

QTextTable* firstTable(QTextDocument* text)
{
    for (QTextFrame* frame : text->rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame))
            return table;
    return nullptr;
}

} // namespace

TEST(DocConvert, TheEditorsFormattingComesBackTheSame)
{
    // Slant, underline, colours (black as well as automatic), an empty
    // paragraph's look, row heights and cells merged down two and three rows.
    const docfile::Document model = samples::formattedTimetable();
    const auto document = documentOf(model);

    // In the word processor: one cell over the rows it was merged down.
    QTextTable* table = firstTable(document->text.get());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->cellAt(1, 1).rowSpan(), 2);
    EXPECT_EQ(table->cellAt(2, 1), table->cellAt(1, 1));
    EXPECT_EQ(table->cellAt(7, 6).rowSpan(), 3);
    EXPECT_TRUE(table->cellAt(2, 2).firstCursorPosition().charFormat().fontItalic());
    EXPECT_EQ(table->cellAt(3, 5).firstCursorPosition().charFormat().foreground().color(), QColor(0xFF, 0, 0));

    const docfile::Document back = toModel(*document);
    EXPECT_EQ(back.section, model.section);
    ASSERT_EQ(back.blocks.size(), model.blocks.size());
    EXPECT_EQ(std::get<docfile::Paragraph>(back.blocks[0]), std::get<docfile::Paragraph>(model.blocks[0]));
    EXPECT_EQ(std::get<docfile::Paragraph>(back.blocks[1]), std::get<docfile::Paragraph>(model.blocks[1]));
    const auto& a = std::get<docfile::Table>(model.blocks[2]);
    const auto& b = std::get<docfile::Table>(back.blocks[2]);
    EXPECT_EQ(b.cellMargin, a.cellMargin);
    ASSERT_EQ(b.rows.size(), a.rows.size());
    for (size_t r = 0; r < a.rows.size(); ++r) {
        SCOPED_TRACE("row " + std::to_string(r));
        EXPECT_EQ(b.rows[r].heightRule, a.rows[r].heightRule);
        EXPECT_EQ(b.rows[r].height, a.rows[r].height);
        ASSERT_EQ(b.rows[r].cells.size(), a.rows[r].cells.size());
        for (size_t c = 0; c < a.rows[r].cells.size(); ++c) {
            const docfile::Cell& want = a.rows[r].cells[c];
            const docfile::Cell& got = b.rows[r].cells[c];
            EXPECT_EQ(got.paragraphs, want.paragraphs) << "cell " << c;
            EXPECT_EQ(got.verticalMerge, want.verticalMerge) << "cell " << c;
            EXPECT_EQ(got.verticalAlignment, want.verticalAlignment) << "cell " << c;
            EXPECT_NEAR(got.width, want.width, 30) << "cell " << c;
        }
    }
}

TEST(DocConvert, RowHeightsStayWithTheirRows)
{
    docfile::Document model = samples::formattedTimetable();
    auto& rows = std::get<docfile::Table>(model.blocks[2]).rows;
    rows[8].heightRule = 2; // a row whose merged cell starts above it
    rows[8].height = 800;
    const auto document = documentOf(model);
    QTextTable* table = firstTable(document->text.get());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(rowHeight(table, 0), (RowHeight{2, 567}));
    EXPECT_EQ(rowHeight(table, 8), (RowHeight{2, 800}));
    EXPECT_EQ(rowHeight(table, 9), (RowHeight{1, 454}));

    // A row put in above moves the heights down with their rows; taking it
    // out again moves them back.
    table->insertRows(0, 1);
    setRowHeight(table, 0, RowHeight{});
    EXPECT_EQ(rowHeight(table, 0), RowHeight{});
    EXPECT_EQ(rowHeight(table, 1), (RowHeight{2, 567}));
    EXPECT_EQ(rowHeight(table, 9), (RowHeight{2, 800}));
    table->removeRows(0, 1);
    EXPECT_EQ(rowHeight(table, 8), (RowHeight{2, 800}));

    setRowHeight(table, 9, RowHeight{1, 1000});
    EXPECT_EQ(rowHeight(table, 9), (RowHeight{1, 1000}));
    EXPECT_EQ(std::get<docfile::Table>(toModel(*document).blocks[2]).rows[9].height, 1000);
    EXPECT_EQ(rowHeight(table, 99), RowHeight{});
}

TEST(DocConvert, ARowWhoseCellsAllContinueTheRowAbove)
{
    // No cell starts in the second row: its height lives with the cells
    // merged down into it, and it comes back as a row of continuing cells.
    docfile::Document model;
    docfile::Table table;
    docfile::Row top{{samples::cell("上午", 2000), samples::cell("班会", 3000)}, 2, 500};
    top.cells[0].verticalMerge = top.cells[1].verticalMerge = 1;
    docfile::Row below{{samples::cell("", 2000), samples::cell("", 3000)}, 1, 700};
    below.cells[0].verticalMerge = below.cells[1].verticalMerge = 2;
    table.rows = {top, below};
    model.blocks.emplace_back(samples::title("周一"));
    model.blocks.emplace_back(table);
    const auto document = documentOf(model);
    QTextTable* qtTable = firstTable(document->text.get());
    ASSERT_NE(qtTable, nullptr);
    EXPECT_EQ(qtTable->cellAt(1, 1).row(), 0);
    EXPECT_EQ(rowHeight(qtTable, 1), (RowHeight{1, 700}));
    const docfile::Document saved = toModel(*document);
    const auto& back = std::get<docfile::Table>(saved.blocks.at(1));
    ASSERT_EQ(back.rows.size(), 2u);
    EXPECT_EQ(back.rows[0].heightRule, 2);
    EXPECT_EQ(back.rows[0].height, 500);
    EXPECT_EQ(back.rows[1].heightRule, 1);
    EXPECT_EQ(back.rows[1].height, 700);
    ASSERT_EQ(back.rows[1].cells.size(), 2u);
    EXPECT_EQ(back.rows[1].cells[0].verticalMerge, 2);
    EXPECT_EQ(back.rows[1].cells[1].verticalMerge, 2);
    EXPECT_EQ(back.rows[1].cells[1].paragraphs, below.cells[1].paragraphs);
}

TEST(Printing, NoPrinterIsSaidPlainly)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "this machine has a printer; nothing is printed by tests";
    qunsetenv(platform::kPrintToPdfVariable);
    auto app = word::createObject("word.application");
    app->documents()->add();
    try {
        app->printOut("1", true);
        FAIL() << "printing without a printer went through";
    } catch (const word::AutomationError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("打印机"))) << error.message().toStdString();
    }
}

// Qt does not show an empty block right before or after a table, where
// Word shows an empty line. Empty lines of a file around its tables are
// shown and come back as they were; a table at the start gets no empty
// paragraph before it; and what is typed after a table in the window is
// saved as it is shown.
TEST(DocConvert, EmptyLinesAroundTablesAreShownAndKept)
{
    docfile::Document model = samples::defaultTimetable();
    const docfile::Table table = std::get<docfile::Table>(model.blocks.at(1));
    const docfile::Paragraph empty = samples::emptyParagraph("宋体", 10.5);
    const docfile::Paragraph note = samples::paragraph({samples::run("备注", "宋体", 10.5)}, 0);
    model.blocks = {table, note, empty, table, empty, note, empty};
    const auto document = documentOf(model);
    rowheights::apply(document->text.get()); // as the window and printing draw it
    QAbstractTextDocumentLayout* layout = document->text->documentLayout();
    const QList<QTextFrame*> tables = document->text->rootFrame()->childFrames();
    ASSERT_EQ(tables.size(), 2);
    // Each empty line takes a line's height between the table and the note.
    const QRectF secondTable = layout->frameBoundingRect(tables[1]);
    const QTextBlock lastNote = document->text->lastBlock().previous();
    ASSERT_EQ(lastNote.text(), QStringLiteral("备注"));
    EXPECT_GT(layout->blockBoundingRect(lastNote).top(), secondTable.bottom() + 10);
    const QTextBlock firstNote = document->text->findBlock(tables[0]->lastPosition() + 1);
    ASSERT_EQ(firstNote.text(), QStringLiteral("备注"));
    EXPECT_GT(layout->blockBoundingRect(firstNote.next()).height(), 10);
    EXPECT_GT(secondTable.top(), layout->blockBoundingRect(firstNote).bottom() + 10);

    const docfile::Document back = toModel(*document);
    ASSERT_EQ(back.blocks.size(), model.blocks.size());
    for (std::size_t i = 0; i < model.blocks.size(); ++i)
        EXPECT_EQ(back.blocks[i].index(), model.blocks[i].index()) << i;
    EXPECT_EQ(std::get<docfile::Paragraph>(back.blocks[2]), empty);
    EXPECT_EQ(std::get<docfile::Paragraph>(back.blocks[4]), empty);

    // Return at the start of the line after the table and a note typed:
    // Qt shows the note right under the table, and so does the file.
    docfile::Document plain = samples::defaultTimetable();
    const auto typed = documentOf(plain);
    QTextCursor cursor(typed->text.get());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("备注"));
    const docfile::Document saved = toModel(*typed);
    ASSERT_EQ(saved.blocks.size(), 3u);
    EXPECT_EQ(std::get<docfile::Paragraph>(saved.blocks[2]).runs.at(0).text, "备注");
}
