#include "common/numberreading.h"

#include "common/localecheck.h"
#include "support/printers.h"

#include <gtest/gtest.h>

#include <cmath>

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
    EXPECT_DOUBLE_EQ(numbers::leading(u"+2.5"), 2.5);
    EXPECT_DOUBLE_EQ(numbers::leading(u".5"), 0.5);
    EXPECT_DOUBLE_EQ(numbers::leading(u"-3.25e1"), -32.5);
    EXPECT_DOUBLE_EQ(numbers::leading(u"1.5D-1"), 0.15);
    // The decimal mark is the point, whatever the user's locale says: a
    // comma ends the number.
    EXPECT_DOUBLE_EQ(numbers::leading(u"7,5"), 7);
    EXPECT_DOUBLE_EQ(numbers::leading(u"0.25"), 0.25);
}

TEST(NumberReading, NumbersBeyondADoubleReadAsInfiniteOrZero)
{
    EXPECT_EQ(numbers::leading(u"1e400"), HUGE_VAL);
    EXPECT_EQ(numbers::leading(u"-1e400"), -HUGE_VAL);
    EXPECT_EQ(numbers::leading(u"1e99999999999999999999999"), HUGE_VAL);
    EXPECT_EQ(numbers::leading(u"0.0001e309"), 1e305);
    EXPECT_EQ(numbers::leading(u"1e-400"), 0);
    EXPECT_EQ(numbers::leading(u"-123456e-99999999999999999999"), 0);
    EXPECT_EQ(numbers::leading(QString(400, u'9')), HUGE_VAL);
    EXPECT_EQ(numbers::leading(QStringLiteral("0.") + QString(400, u'0') + u'1'), 0);
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
    EXPECT_EQ(numbers::wholeInt16(u"3.5"), std::int16_t(4));
    EXPECT_EQ(numbers::wholeInt16(u"7.5:00"), std::int16_t(8));
    EXPECT_EQ(numbers::wholeInt16(u"-0.4"), std::int16_t(0));
}

TEST(NumberReading, SixteenBitRangeIsChecked)
{
    EXPECT_EQ(numbers::wholeInt16(u"32767"), std::int16_t(32767));
    EXPECT_EQ(numbers::wholeInt16(u"-32768"), std::int16_t(-32768));
    EXPECT_FALSE(numbers::wholeInt16(u"32768").has_value());
    EXPECT_FALSE(numbers::wholeInt16(u"-32768.6").has_value());
    EXPECT_FALSE(numbers::wholeInt16(u"32767.5").has_value()); // ties to the even 32768
    EXPECT_EQ(numbers::wholeInt16(u"-32768.5"), std::int16_t(-32768));
    EXPECT_FALSE(numbers::wholeInt16(u"1e400").has_value());
}

TEST(NumberReading, FullWidthFormsBecomeAscii)
{
    EXPECT_EQ(numbers::halfWidth(QStringLiteral("１２．５ｃｍ")), QStringLiteral("12.5cm"));
    EXPECT_EQ(numbers::halfWidth(QStringLiteral("１５０％")), QStringLiteral("150%"));
    EXPECT_EQ(numbers::halfWidth(QStringLiteral("\u3000３厘米")), QStringLiteral(" 3厘米"));
    EXPECT_EQ(numbers::halfWidth(QStringLiteral("小四")), QStringLiteral("小四"));
}
