#include "automation/builtin/builtinapplication.h"
#include "automation/builtin/docconvert.h"
#include "automation/factory.h"
#include "create/builder.h"
#include "platform/printdestination.h"
#include "support/printers.h"

#include <QPrinterInfo>
#include <gtest/gtest.h>

using namespace word::builtin;

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
    EngineState::applyPage(again);
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
