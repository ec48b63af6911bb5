// Reading a school's table of classes: the text as spreadsheets save it,
// the records, days and periods in their usual spellings, and every wrong
// row named with its number before anything is made.

#include "batch/plan.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace batch;

namespace {

Plan planOf(const QString& text, const Shape& shape = {})
{
    return makePlan(parseCsv(text), shape);
}

QStringList messages(const Plan& plan)
{
    QStringList all;
    for (const Problem& p : plan.problems)
        all << p.message;
    return all;
}

} // namespace

TEST(CsvText, Utf8WithOrWithoutMarkAndGbkAreRead)
{
    const QString expected = QStringLiteral("班级,星期");
    EXPECT_EQ(decodeCsv(expected.toUtf8()), expected);
    EXPECT_EQ(decodeCsv("\xEF\xBB\xBF" + expected.toUtf8()), expected);
    // The same words as a Chinese spreadsheet saves them (GBK).
    EXPECT_EQ(decodeCsv(QByteArray("\xb0\xe0\xbc\xb6,\xd0\xc7\xc6\xda")), expected);
}

TEST(CsvText, QuotedFieldsHoldCommasQuotesAndLineBreaks)
{
    const auto records = parseCsv(QStringLiteral("a,\"b, c\",\"say \"\"hi\"\"\"\r\n\r\n,,\n\"two\nlines\",x\n"));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].row, 1);
    EXPECT_EQ(records[0].fields, (QStringList{"a", "b, c", "say \"hi\""}));
    // Empty records are skipped but keep their numbers, as a spreadsheet counts rows.
    EXPECT_EQ(records[1].row, 4);
    EXPECT_EQ(records[1].fields, (QStringList{"two\nlines", "x"}));
}

TEST(DaysAndPeriods, UsualSpellingsAreRead)
{
    for (const QString& monday : {"星期一", "周一", "一", "1", "１", " 星期一 "})
        EXPECT_EQ(readDay(monday), 0) << monday.toStdString();
    for (const QString& sunday : {"星期日", "星期天", "周日", "日", "天", "7"})
        EXPECT_EQ(readDay(sunday), 6) << sunday.toStdString();
    EXPECT_EQ(readDay("周六"), 5);
    for (const QString& wrong : {"星期八", "8", "0", "", "Monday", "周"})
        EXPECT_FALSE(readDay(wrong)) << wrong.toStdString();

    EXPECT_EQ(readPeriod("第一节"), 0);
    EXPECT_EQ(readPeriod("1"), 0);
    EXPECT_EQ(readPeriod("第1节"), 0);
    EXPECT_EQ(readPeriod("五"), 4);
    EXPECT_EQ(readPeriod("第十节"), 9);
    EXPECT_EQ(readPeriod("第十二节"), 11);
    EXPECT_EQ(readPeriod("二十"), 19);
    for (const QString& wrong : {"第节", "0", "第零节", "一二", "x", ""})
        EXPECT_FALSE(readPeriod(wrong)) << wrong.toStdString();
}

TEST(ClassNames, NamesThatCannotBeFilesAreRefused)
{
    EXPECT_FALSE(fileNameProblem(QStringLiteral("高一（1）班")));
    EXPECT_FALSE(fileNameProblem(QStringLiteral("初二 3 班")));
    for (const QString& bad : QStringList{"高一/1班", "a:b", "x*", "问?", "\"q\"", "<a>", "a|b", ".", "..", ".hidden", "end.",
                               "end ", "CON", "lpt1", QString(300, u'班'), QStringLiteral("a\tb")})
        EXPECT_TRUE(fileNameProblem(bad)) << bad.toStdString();
}

TEST(Plan, ColumnsInAnyOrderExtraColumnsIgnored)
{
    const Plan plan = planOf(QStringLiteral("科目,教师,节次,班级,星期\n语文,张,1,高一（1）班,周一\n数学,李,第六节,高一（1）班,星期五\n"
                                            "英语,王,2,高一（2）班,2\n"));
    EXPECT_TRUE(plan.problems.empty()) << messages(plan).join('\n').toStdString();
    ASSERT_EQ(plan.classes.size(), 2u);
    const ClassPlan& first = plan.classes[0];
    EXPECT_EQ(first.name, QStringLiteral("高一（1）班"));
    EXPECT_EQ(first.subjects.at({0, 0}), QStringLiteral("语文"));
    EXPECT_EQ(first.subjects.at({4, 5}), QStringLiteral("数学"));
    EXPECT_EQ(plan.classes[1].subjects.at({1, 1}), QStringLiteral("英语"));
    // The morning's periods sit under the header, the afternoon's below lunch.
    EXPECT_EQ(cellOf(0, 0, {}), std::make_pair(2, 2));
    EXPECT_EQ(cellOf(4, 5, {}), std::make_pair(8, 6));
    EXPECT_EQ(classTitle(first.name, QStringLiteral("课程表")), QStringLiteral("高一（1）班 课程表"));
}

TEST(Plan, EveryWrongRowIsListedWithItsNumberAndItsClassLeftOut)
{
    const Plan plan = planOf(QStringLiteral("班级,星期,节次,科目\n"
                                            "一班,星期一,1,语文\n"    // 2 fine
                                            "二班,星期八,1,数学\n"    // 3 unknown day
                                            "三班,周一,第一节课,英语\n" // 4 unknown period
                                            "四班,周日,1,体育\n"      // 5 day outside 6 days
                                            "五班,周一,9,美术\n"      // 6 period outside 8
                                            "六班,周一,1,语文\n"      // 7 fine
                                            "六班,周一,第一节,数学\n" // 8 two subjects for one cell
                                            ",周一,1,语文\n"          // 9 empty class
                                            "七/班,周一,1,语文\n"     // 10 not a file name
                                            "一班,周二,1,语文\n"),    // 11 fine
                             Shape{4, 4, 6});
    const QStringList all = messages(plan);
    ASSERT_EQ(plan.problems.size(), 7u) << all.join('\n').toStdString();
    const int rows[] = {3, 4, 5, 6, 8, 9, 10};
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(plan.problems[i].row, rows[i]);
        EXPECT_TRUE(all[int(i)].startsWith(QStringLiteral("第 %1 行：").arg(rows[i]))) << all[int(i)].toStdString();
    }
    EXPECT_TRUE(all[0].contains(QStringLiteral("星期八")));
    EXPECT_TRUE(all[1].contains(QStringLiteral("第一节课")));
    EXPECT_TRUE(all[2].contains(QStringLiteral("每周 6 天")));
    EXPECT_TRUE(all[3].contains(QStringLiteral("第九节超出了每天 8 节课")));
    EXPECT_TRUE(all[4].contains(QStringLiteral("“语文”（第 7 行）"))) << all[4].toStdString();
    EXPECT_TRUE(all[5].contains(QStringLiteral("班级为空")));
    EXPECT_TRUE(all[6].contains(QStringLiteral("七/班")));
    ASSERT_EQ(plan.classes.size(), 1u);
    EXPECT_EQ(plan.classes[0].name, QStringLiteral("一班"));
    EXPECT_EQ(plan.classes[0].subjects.size(), 2u);
    EXPECT_EQ(plan.leftOut, (QStringList{"二班", "三班", "四班", "五班", "六班", "七/班"}));
    EXPECT_FALSE(plan.unusable);
    EXPECT_TRUE(problemList(plan, 3).endsWith(QStringLiteral("……另有 4 处问题。")));
    EXPECT_TRUE(problemQuestion(plan).contains(QStringLiteral("要生成其余 1 个完整的班级吗？")));
}

TEST(Plan, AMissingColumnOrNoRowsMakeTheTableUnusable)
{
    Plan plan = planOf(QStringLiteral("班级,星期,科目\n一班,1,语文\n"));
    EXPECT_TRUE(plan.unusable);
    ASSERT_EQ(plan.problems.size(), 1u);
    EXPECT_EQ(plan.problems[0].message, QStringLiteral("第 1 行（表头）：缺少“节次”列。"));
    EXPECT_TRUE(planOf(QStringLiteral("班级,星期,节次,科目\n")).unusable);
    EXPECT_TRUE(planOf(QString()).unusable);
}

TEST(Plan, FilesAreNamedAfterTheClassesAndExistingOnesMarked)
{
    QTemporaryDir folder;
    Plan plan = planOf(QStringLiteral("班级,星期,节次,科目\n甲,1,1,语文\n乙,1,1,语文\n"));
    QFile existing(QDir(folder.path()).filePath("乙.doc"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    placeFiles(plan, folder.path(), FileFormat::Word97);
    ASSERT_EQ(plan.classes.size(), 2u);
    EXPECT_EQ(plan.classes[0].path, QDir(folder.path()).filePath("甲.doc"));
    EXPECT_FALSE(plan.classes[0].exists);
    EXPECT_TRUE(plan.classes[1].exists);
}
