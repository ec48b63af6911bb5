#include "create/grid.h"

#include "support/printers.h"

#include <gtest/gtest.h>

TEST(Grid, DimensionsFollowTheCounts)
{
    const grid::Dimensions d = grid::fromCounts(4, 4, 6);
    EXPECT_EQ(d.morning, 5);
    EXPECT_EQ(d.hang, 10);
    EXPECT_EQ(d.lie, 7);
    const grid::Dimensions noMorning = grid::fromCounts(0, 3, 5);
    EXPECT_EQ(noMorning.morning, 1); // the lunch row is row 2
    EXPECT_EQ(noMorning.hang, 5);
}

TEST(Grid, PeriodLabelsFollowThePeriodNumberNotTheHalfDay)
{
    const QStringList& labels = grid::defaultTimeLabels();
    EXPECT_EQ(grid::periodLabel(0, true, labels), QStringLiteral("第一节(07:50-08:35)"));
    // Three morning periods: the first afternoon period is number 3.
    EXPECT_EQ(grid::periodLabel(3, true, labels), QStringLiteral("第四节(10:55-11:40)"));
    EXPECT_EQ(grid::periodLabel(7, false, labels), QStringLiteral("第八节"));
    EXPECT_EQ(grid::periodLabel(9, false, labels), QStringLiteral("第十节"));
}

TEST(Grid, LimitsAreNamed)
{
    EXPECT_FALSE(grid::checkLimits(4, 4, 6, true, 8));
    EXPECT_FALSE(grid::checkLimits(0, 1, 1, false, 8));
    EXPECT_FALSE(grid::checkLimits(5, 5, 7, false, 8));
    EXPECT_TRUE(grid::checkLimits(4, 4, 0, true, 8)->contains(QStringLiteral("天数")));
    EXPECT_TRUE(grid::checkLimits(4, 4, 8, true, 8)->contains(QStringLiteral("天数")));
    EXPECT_TRUE(grid::checkLimits(-1, 4, 6, true, 8)->contains(QStringLiteral("负数")));
    EXPECT_TRUE(grid::checkLimits(0, 0, 6, true, 8)->contains(QStringLiteral("至少")));
    EXPECT_TRUE(grid::checkLimits(6, 5, 6, false, 8)->contains(QStringLiteral("10")));
    // With time labels on, no more periods than there are labels.
    EXPECT_TRUE(grid::checkLimits(5, 4, 6, true, 8)->contains(QStringLiteral("8")));
    EXPECT_FALSE(grid::checkLimits(5, 4, 6, true, 9));
}

TEST(Grid, MorningIsRecoveredFromTheSingleCellRow)
{
    // Defaults: lunch row 6 of 10.
    auto defaults = [](int row) { return row == 6 ? 1 : 7; };
    EXPECT_EQ(grid::morningFromTable(10, defaults), 5);
    // No morning periods: the lunch row is row 2.
    EXPECT_EQ(grid::morningFromTable(6, [](int row) { return row == 2 ? 1 : 7; }), 1);
    // No afternoon periods: the lunch row is the last row.
    EXPECT_EQ(grid::morningFromTable(6, [](int row) { return row == 6 ? 1 : 7; }), 5);
    // No single-cell row: morning ends equal to the row count; no row past
    // the last is asked for.
    int highest = 0;
    EXPECT_EQ(grid::morningFromTable(4, [&](int row) { highest = std::max(highest, row); return 3; }), 4);
    EXPECT_EQ(highest, 4);
}
