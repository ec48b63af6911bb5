#include "automation/builtin/builtinapplication.h"
#include "automation/builtin/builtinobjects.h"
#include "wordprocessor/document.h"
#include "automation/factory.h"
#include "create/builder.h"
#include "support/recordingengine.h"

#include <QTextBlock>
#include <QTextTable>
#include <QCoreApplication>
#include <gtest/gtest.h>

using testsupport::RecordingLog;

namespace {

create::BuildRequest defaults()
{
    create::BuildRequest request;
    request.morningCount = "4";
    request.afternoonCount = "4";
    request.dayCount = "6";
    request.title = QStringLiteral("课程表");
    request.withTimes = true;
    request.timeLabels = grid::defaultTimeLabels();
    return request;
}

create::Counts counts(const create::BuildRequest& request)
{
    auto read = create::readCounts(request);
    EXPECT_TRUE(std::holds_alternative<create::Counts>(read));
    return std::get<create::Counts>(read);
}

struct EngineOverride {
    explicit EngineOverride(word::EngineFactory factory) { word::setEngineFactory(std::move(factory)); }
    ~EngineOverride() { word::setEngineFactory({}); }
};

} // namespace

TEST(Builder, CountsAreReadWithTheNumberRuleAndChecked)
{
    auto request = defaults();
    request.morningCount = " 3.5节";
    request.afternoonCount = "2.5";
    request.dayCount = "5";
    const auto read = counts(request);
    EXPECT_EQ(read.morning, 4);
    EXPECT_EQ(read.afternoon, 2);
    EXPECT_EQ(read.days, 5);

    request.dayCount = "abc"; // reads as 0 days
    EXPECT_TRUE(std::holds_alternative<QString>(create::readCounts(request)));
    request.dayCount = "99999999999";
    EXPECT_TRUE(std::holds_alternative<QString>(create::readCounts(request)));
}

TEST(Builder, MakesExactlyTheseCallsForTheDefaults)
{
    auto log = std::make_shared<RecordingLog>();
    EngineOverride engine([log] { return testsupport::makeRecordingApplication(log); });
    const auto request = defaults();
    const create::Timetable result = create::build(request, counts(request));
    EXPECT_EQ(result.dimensions.morning, 5);
    EXPECT_EQ(result.dimensions.hang, 10);
    EXPECT_EQ(result.dimensions.lie, 7);

    QStringList expected{
        "documents.Add",
        "PageSetup.TopMargin=72.00001",
        "PageSetup.BottomMargin=72.00001",
        "PageSetup.LeftMargin=89.85828",
        "PageSetup.RightMargin=89.85828",
        "PageSetup.HeaderDistance=42.51969",
        "PageSetup.FooterDistance=49.6063",
        "PageSetup.PageWidth=515.9056",
        "PageSetup.PageHeight=728.504",
        "PageSetup.VerticalAlignment=0",
        "Selection.ParagraphFormat.Alignment=1",
        "Selection.ParagraphFormat.FirstLineIndent=0",
        QStringLiteral("Selection.Font.Name=黑体"),
        QStringLiteral("Selection.TypeText(课程表)"),
        "Selection.TypeParagraph",
        "Selection.Font.Size=9",
        QStringLiteral("Selection.Font.Name=宋体"),
        "tables.Add(Selection.range,10,7,1)",
    };
    for (int c = 2; c <= 7; ++c)
        expected << QStringLiteral("cell(1,%1).range.insertafter(%2)").arg(c).arg(grid::dayNames()[c - 2]);
    for (int r = 2; r <= 5; ++r)
        expected << QStringLiteral("cell(%1,1).range.insertafter(%2%3)")
                        .arg(r)
                        .arg(grid::periodNames()[r - 2], grid::defaultTimeLabels()[r - 2]);
    expected << "Rows(6).cells.Merge" << QStringLiteral("cell(6,1).range.insertafter(午\u3000休)")
             << "Selection.ParagraphFormat.Alignment=0";
    for (int r = 7; r <= 10; ++r)
        expected << QStringLiteral("cell(%1,1).range.insertafter(%2%3)")
                        .arg(r)
                        .arg(grid::periodNames()[r - 3], grid::defaultTimeLabels()[r - 3]);
    expected << "table.Select" << "Selection.ParagraphFormat.Alignment=1" << "Selection.cells.VerticalAlignment=1"
             << "table.AutoFitBehavior(1)" << "Visible=true" << "table.AutoFitBehavior(2)";
    for (int i = 0; i < std::max(log->calls.size(), expected.size()); ++i)
        ASSERT_EQ(log->calls.value(i), expected.value(i)) << "call " << i;
}

TEST(Builder, EmptyLoopsAndLabelsOffMakeNoCalls)
{
    auto log = std::make_shared<RecordingLog>();
    EngineOverride engine([log] { return testsupport::makeRecordingApplication(log); });
    auto request = defaults();
    request.morningCount = "0";
    request.afternoonCount = "3";
    request.dayCount = "1";
    request.title = QString();
    request.withTimes = false;
    create::build(request, counts(request));
    EXPECT_TRUE(log->calls.contains("Selection.TypeText()"));
    EXPECT_TRUE(log->calls.contains("tables.Add(Selection.range,5,2,1)"));
    EXPECT_TRUE(log->calls.contains("Rows(2).cells.Merge"));
    EXPECT_TRUE(log->calls.contains(QStringLiteral("cell(3,1).range.insertafter(第一节)")));
    EXPECT_TRUE(log->calls.contains(QStringLiteral("cell(5,1).range.insertafter(第三节)")));
    EXPECT_EQ(log->calls.filter("insertafter").size(), 1 + 1 + 3);
}

TEST(Builder, AFailingCallQuitsTheHalfBuiltInstanceUnaskedAndReportsTheFirstError)
{
    auto log = std::make_shared<RecordingLog>();
    log->failAt = 18; // the first header cell
    EngineOverride engine([log] { return testsupport::makeRecordingApplication(log); });
    const auto request = defaults();
    try {
        create::build(request, counts(request));
        FAIL() << "the build went through";
    } catch (const word::AutomationError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("星期一")));
    }
    // The half-built document is the program's: it goes without a question.
    EXPECT_EQ(log->quits, 1);
    EXPECT_EQ(log->calls.last(), "quit(DoNotSaveChanges)");

    // The same when the failure comes after the document was shown.
    auto whole = std::make_shared<RecordingLog>();
    {
        EngineOverride recording([whole] { return testsupport::makeRecordingApplication(whole); });
        create::build(request, counts(request));
    }
    auto late = std::make_shared<RecordingLog>();
    late->failAt = int(whole->calls.indexOf("table.AutoFitBehavior(2)"));
    ASSERT_GT(late->failAt, int(whole->calls.indexOf("Visible=true")));
    EngineOverride failing([late] { return testsupport::makeRecordingApplication(late); });
    EXPECT_THROW(create::build(request, counts(request)), word::AutomationError);
    EXPECT_EQ(late->calls.last(), "quit(DoNotSaveChanges)");
}

namespace {

QTextTable* firstTable(const std::shared_ptr<word::Application>& app)
{
    auto builtin = std::dynamic_pointer_cast<word::builtin::BuiltinApplication>(app);
    QCoreApplication::processEvents(); // the engine's edit of this turn ends
    return word::builtin::documentTables(builtin->state()->active->text.get()).at(0);
}

} // namespace

TEST(Builder, BuiltInEngineHoldsTheDefaultTimetable)
{
    const auto request = defaults();
    const create::Timetable result = create::build(request, counts(request));
    const auto& table = result.table;
    EXPECT_EQ(table->rows()->count(), 10);
    EXPECT_EQ(table->columns()->count(), 7);
    EXPECT_EQ(table->rows()->item(6)->cells()->count(), 1);
    EXPECT_EQ(table->rows()->item(5)->cells()->count(), 7);
    EXPECT_EQ(table->cell(6, 1)->range()->text(), QStringLiteral("午\u3000休"));
    EXPECT_EQ(table->cell(1, 1)->range()->text(), QString());
    EXPECT_EQ(table->cell(1, 2)->range()->text(), QStringLiteral("星期一"));
    EXPECT_EQ(table->cell(1, 7)->range()->text(), QStringLiteral("星期六"));
    EXPECT_EQ(table->cell(2, 1)->range()->text(), QStringLiteral("第一节(07:50-08:35)"));
    EXPECT_EQ(table->cell(5, 1)->range()->text(), QStringLiteral("第四节(10:55-11:40)"));
    EXPECT_EQ(table->cell(7, 1)->range()->text(), QStringLiteral("第五节(14:00-14:45)"));
    EXPECT_EQ(table->cell(10, 1)->range()->text(), QStringLiteral("第八节(16:50-17:50)"));
    EXPECT_THROW(table->cell(6, 2), word::AutomationError);
    EXPECT_TRUE(result.application->visible());

    // Fonts and centring, read from the rich-text document itself.
    QTextTable* t = firstTable(result.application);
    QTextDocument* document = t->document();
    const QTextBlock title = document->firstBlock();
    EXPECT_EQ(title.text(), QStringLiteral("课程表"));
    EXPECT_TRUE(title.blockFormat().alignment() & Qt::AlignHCenter);
    EXPECT_EQ(title.begin().fragment().charFormat().fontFamilies().toStringList(), QStringList{"黑体"});
    for (int row = 0; row < t->rows(); ++row) {
        for (int column : word::builtin::rowCellColumns(t, row)) {
            const QTextTableCell cell = t->cellAt(row, column);
            const QTextBlock block = cell.firstCursorPosition().block();
            EXPECT_TRUE(block.blockFormat().alignment() & Qt::AlignHCenter) << row << "," << column;
            EXPECT_EQ(cell.format().verticalAlignment(), QTextCharFormat::AlignMiddle);
            if (block.length() > 1) {
                const QTextCharFormat format = block.begin().fragment().charFormat();
                EXPECT_EQ(format.fontFamilies().toStringList(), QStringList{"宋体"});
                EXPECT_DOUBLE_EQ(format.fontPointSize(), 9.0);
            }
        }
    }
    EXPECT_EQ(t->format().width().type(), QTextLength::PercentageLength);
    result.application->quit(word::DoNotSaveChanges);
}
