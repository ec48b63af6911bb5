#pragma once
// Included by the test programs whose tests CTest runs a second time under
// a locale with a decimal comma (LUMETRA_TEST_LOCALE names it, LC_ALL sets
// it). That run proves something only when the locale is really in force,
// so this test fails when it is not, instead of letting the run pass in the
// C locale. Without LUMETRA_TEST_LOCALE it has nothing to check.

#include <QByteArray>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>

TEST(LocaleInForce, TheLocaleAskedForHasADecimalComma)
{
    const QByteArray wanted = qgetenv("LUMETRA_TEST_LOCALE");
    if (wanted.isEmpty())
        GTEST_SKIP() << "no LUMETRA_TEST_LOCALE: running in the locale the environment gives";

    const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(numeric, nullptr);
    ASSERT_STREQ(numeric, wanted.constData())
        << "the test program did not take the locale " << wanted.constData()
        << " (is it installed? see `locale -a`)";
    EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    // The C library's own reading now stops at the point: the trap that the
    // program's number reading has to avoid.
    EXPECT_EQ(std::strtod("7.5", nullptr), 7.0);
}
