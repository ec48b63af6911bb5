#include "automation/factory.h"
#include "create/builder.h"
#include "create/grid.h"
#include "entry/entrycursor.h"
#include "entry/typeahead.h"
#include "support/printers.h"

#include <gtest/gtest.h>

using entry::CellAddress;
using entry::EntryCursor;

namespace {

// Presses Next period `times` times with writing on; returns the cells written.
std::vector<CellAddress> walk(EntryCursor& cursor, int times)
{
    std::vector<CellAddress> written;
    for (int i = 0; i < times; ++i) {
        if (auto cell = cursor.cellToWrite(true))
            written.push_back(*cell);
        cursor.nextPeriod();
    }
    return written;
}

} // namespace

TEST(EntryCursor, DefaultsWalkMondayThenTuesdaySkippingTheLunchRow)
{
    EntryCursor cursor(10, 7, 4);
    EXPECT_EQ(cursor.label(), QStringLiteral("星期一第一节上"));
    EXPECT_EQ(cursor.cell(), (CellAddress{2, 2}));
    const auto monday = walk(cursor, 8);
    const std::vector<int> rows{2, 3, 4, 5, 7, 8, 9, 10};
    ASSERT_EQ(monday.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(monday[i], (CellAddress{rows[i], 2}));
    EXPECT_EQ(cursor.cell(), (CellAddress{2, 3}));
    EXPECT_EQ(cursor.label(), QStringLiteral("星期二第一节上"));

    // The rest of the week; after Saturday's eighth period entry is complete.
    const auto rest = walk(cursor, 40);
    EXPECT_EQ(rest.back(), (CellAddress{10, 7}));
    EXPECT_FALSE(cursor.nextEnabled());
    EXPECT_TRUE(cursor.finished());
    EXPECT_EQ(cursor.label(), QStringLiteral("输入已完成"));
    EXPECT_EQ(cursor.cell(), (CellAddress{10, 7}));
}

TEST(EntryCursor, PreviousPeriodGoesBackAcrossLunchAndDays)
{
    EntryCursor cursor(10, 7, 4);
    cursor.previousPeriod(); // Monday's first → Monday's eighth
    EXPECT_EQ(cursor.cell(), (CellAddress{10, 2}));
    EXPECT_EQ(cursor.label(), QStringLiteral("星期一第八节上"));
    EntryCursor tuesday(10, 7, 4);
    tuesday.nextDay(); // Tuesday's first period
    EXPECT_EQ(tuesday.cell(), (CellAddress{2, 3}));
    tuesday.previousPeriod(); // → Monday's eighth
    EXPECT_EQ(tuesday.cell(), (CellAddress{10, 2}));
    EntryCursor afternoon(10, 7, 4);
    for (int i = 0; i < 4; ++i)
        afternoon.nextPeriod();
    EXPECT_EQ(afternoon.cell(), (CellAddress{7, 2})); // the fifth period, first afternoon row
    afternoon.previousPeriod();
    EXPECT_EQ(afternoon.cell(), (CellAddress{5, 2}));
}

TEST(EntryCursor, CompletedStateIsLeftByPreviousPeriodOnly)
{
    EntryCursor cursor(10, 7, 4);
    walk(cursor, 48);
    ASSERT_FALSE(cursor.nextEnabled());
    cursor.nextDay(); // nothing, not even the label
    EXPECT_EQ(cursor.label(), QStringLiteral("输入已完成"));
    cursor.previousPeriod(); // shows Saturday's eighth again
    EXPECT_TRUE(cursor.nextEnabled());
    EXPECT_EQ(cursor.label(), QStringLiteral("星期六第八节上"));
    EXPECT_EQ(cursor.cellToWrite(true), (CellAddress{10, 7}));
    cursor.nextPeriod();
    EXPECT_FALSE(cursor.nextEnabled());
    EXPECT_TRUE(cursor.finished());

    // Previous day while complete moves back a day and stays complete.
    cursor.previousDay();
    EXPECT_EQ(cursor.cell(), (CellAddress{10, 6}));
    EXPECT_EQ(cursor.label(), QStringLiteral("星期五第八节上"));
    EXPECT_FALSE(cursor.nextEnabled());
}

TEST(EntryCursor, DayButtonsKeepThePeriod)
{
    EntryCursor cursor(10, 7, 4);
    cursor.nextPeriod();
    cursor.nextDay();
    EXPECT_EQ(cursor.cell(), (CellAddress{3, 3}));
    for (int i = 0; i < 10; ++i)
        cursor.nextDay();
    EXPECT_EQ(cursor.cell(), (CellAddress{3, 7}));
    cursor.previousDay();
    EXPECT_EQ(cursor.cell(), (CellAddress{3, 6}));
    // Previous day on day 0 changes nothing but the label.
    EntryCursor first(10, 7, 4);
    first.previousDay();
    EXPECT_EQ(first.cell(), (CellAddress{2, 2}));
    EXPECT_EQ(first.label(), QStringLiteral("星期一第一节上"));
    EXPECT_FALSE(first.cellToWrite(false)); // update box unticked: nothing written
}

TEST(EntryCursor, NoMorningOrNoAfternoonPeriods)
{
    // No morning periods: the first period is in row 3.
    EntryCursor noMorning(6, 3, 0);
    EXPECT_EQ(noMorning.cell(), (CellAddress{3, 2}));
    const auto cells = walk(noMorning, 4);
    EXPECT_EQ(cells.back(), (CellAddress{6, 2}));
    EXPECT_EQ(noMorning.cell(), (CellAddress{3, 3}));

    // No afternoon periods (lunch row last): the day ends with the last
    // morning period, and Previous period wraps to it.
    EntryCursor noAfternoon(6, 3, 4);
    walk(noAfternoon, 4);
    EXPECT_EQ(noAfternoon.cell(), (CellAddress{2, 3}));
    noAfternoon.previousPeriod();
    EXPECT_EQ(noAfternoon.cell(), (CellAddress{5, 2}));
}

TEST(EntryCursor, TablesTooSmallAreRefusedAndTheCursorNeverLeavesThePeriodRows)
{
    EXPECT_TRUE(EntryCursor::tableProblem(2, 7));
    EXPECT_TRUE(EntryCursor::tableProblem(0, 7));
    EXPECT_TRUE(EntryCursor::tableProblem(10, 1));
    EXPECT_FALSE(EntryCursor::tableProblem(3, 2));

    // Even if such a cursor is made, Previous period does not climb into
    // the header row and nothing is written there.
    EntryCursor tiny(2, 7, 1);
    tiny.previousPeriod();
    EXPECT_GE(tiny.jie(), 0);
    EXPECT_FALSE(tiny.cellToWrite(true));
}

TEST(EntryCursor, WideAndLongTablesGetNamedCells)
{
    // Nine day columns and thirteen period rows, as a file from elsewhere
    // may have: the days after Sunday and the periods after the tenth are
    // named by their number.
    EntryCursor cursor(15, 10, 5);
    for (int i = 0; i < 7; ++i)
        cursor.nextDay();
    EXPECT_EQ(cursor.label(), QStringLiteral("第八天第一节上"));
    for (int i = 0; i < 10; ++i)
        cursor.nextPeriod();
    EXPECT_EQ(cursor.label(), QStringLiteral("第八天第十一节上"));
    cursor.nextPeriod();
    cursor.nextPeriod();
    EXPECT_EQ(cursor.label(), QStringLiteral("第八天第十三节上"));
    EXPECT_EQ(grid::periodName(19), QStringLiteral("第二十节"));
    EXPECT_EQ(grid::periodName(104), QStringLiteral("第一百零五节"));
    EXPECT_EQ(grid::dayName(6), QStringLiteral("星期日"));
}

TEST(TypeAhead, KeysSinceTheLastWriteAreOneSearch)
{
    const QStringList entries{"yy英语", "yw语文", "sx数学", "wl物理"};
    entry::TypeAhead search;
    EXPECT_EQ(search.type("y", entries), 0);
    EXPECT_EQ(search.type("w", entries), 1);
    search.reset();
    EXPECT_EQ(search.type("w", entries), 3);
    // Keys that match nothing together start again from the last key.
    EXPECT_EQ(search.type("s", entries), 2);
    EXPECT_EQ(search.typed(), "s");
    EXPECT_EQ(search.type("Q", entries), -1);
    EXPECT_EQ(search.type("Y", entries), 0); // letter case is ignored
}

TEST(EntryCursor, WritesReachTheBuiltInEnginesTable)
{
    create::BuildRequest request{"4", "4", "6", QStringLiteral("课程表"), true, grid::defaultTimeLabels()};
    const auto timetable = create::build(request, {4, 4, 6});
    EntryCursor cursor(10, 7, 4);
    const QStringList subjects{QStringLiteral("语文"), QStringLiteral("数学")};
    for (int i = 0; i < 48; ++i) {
        const auto cell = cursor.cellToWrite(true);
        ASSERT_TRUE(cell);
        timetable.table->cell(cell->row, cell->column)->range()->setText(subjects[i % 2]);
        cursor.nextPeriod();
    }
    EXPECT_EQ(timetable.table->cell(2, 2)->range()->text(), QStringLiteral("语文"));
    EXPECT_EQ(timetable.table->cell(10, 7)->range()->text(), QStringLiteral("数学"));
    EXPECT_EQ(timetable.table->cell(6, 1)->range()->text(), QStringLiteral("午\u3000休"));
    EXPECT_EQ(timetable.table->cell(1, 2)->range()->text(), QStringLiteral("星期一"));
    timetable.application->quit(word::DoNotSaveChanges);
}
