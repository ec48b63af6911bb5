#include "common/numberreading.h"

#include "support/printers.h"

#include <gtest/gtest.h>

TEST(NumberReading, LeadingNumberIgnoresBlanksAndStopsAtTheFirstOtherCharacter)
{
    EXPECT_DOUBLE_EQ(numbers::leading(u"4"), 4);
    EXPECT_DOUBLE_EQ(numbers::leading(u"  4节"), 4);
    EXPECT_DOUBLE_EQ(numbers::leading(u"1 2"), 12);
    EXPECT_DOUBLE_EQ(numbers::leading(u"7.5:00"), 7.5);
    EXPECT_DOUBLE_EQ(numbers::leading(u" - 3"), -3);
    EXPECT_DOUBLE_EQ(numbers::leading(u"1e2"), 100);
    EXPECT_DOUBLE_EQ(numbers::leading(u"2e"), 2);
    EXPECT_DOUBLE_EQ(numbers::leading(u"1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(numbers::leading(u"\u30005"), 5);
}

TEST(NumberReading, TextWithoutALeadingNumberReadsAsZero)
{
    EXPECT_DOUBLE_EQ(numbers::leading(u""), 0);
    EXPECT_DOUBLE_EQ(numbers::leading(u"abc"), 0);
    EXPECT_DOUBLE_EQ(numbers::leading(u"ab:cd"), 0);
    EXPECT_DOUBLE_EQ(numbers::leading(u"-"), 0);
    EXPECT_DOUBLE_EQ(numbers::leading(u"."), 0);
    EXPECT_DOUBLE_EQ(numbers::leading(u"四"), 0);
}

TEST(NumberReading, WholeNumbersRoundTiesToTheEvenNeighbour)
{
    EXPECT_EQ(numbers::roundHalfEven(2.5), 2);
    EXPECT_EQ(numbers::roundHalfEven(3.5), 4);
    EXPECT_EQ(numbers::roundHalfEven(-2.5), -2);
    EXPECT_EQ(numbers::roundHalfEven(-3.5), -4);
    EXPECT_EQ(numbers::roundHalfEven(2.4999), 2);
    EXPECT_EQ(numbers::roundHalfEven(2.5001), 3);
    EXPECT_EQ(numbers::wholeInt16(u"4.5"), std::int16_t(4));
    EXPECT_EQ(numbers::wholeInt16(u"5.5"), std::int16_t(6));
}

TEST(NumberReading, SixteenBitRangeIsChecked)
{
    EXPECT_EQ(numbers::wholeInt16(u"32767"), std::int16_t(32767));
    EXPECT_EQ(numbers::wholeInt16(u"-32768"), std::int16_t(-32768));
    EXPECT_FALSE(numbers::wholeInt16(u"32768").has_value());
    EXPECT_FALSE(numbers::wholeInt16(u"-32768.6").has_value());
    EXPECT_FALSE(numbers::wholeInt16(u"1e400").has_value());
}
