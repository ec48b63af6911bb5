// Period times: the time arithmetic, the layout of both half-days and the
// check of the result.

#include "schedule/periodtimes.h"

#include "common/localecheck.h"
#include "support/printers.h"

#include <gtest/gtest.h>

#include <functional>

using namespace schedule;

namespace {

// The dialog's defaults.
ScheduleInput defaults()
{
    ScheduleInput in;
    in.morningFirstBell = "07:50";
    in.morningDismissal = "11:40";
    in.afternoonFirstBell = "14:00";
    in.afternoonDismissal = "17:50";
    in.ordinaryBreak = "10";
    in.longBreakPeriod = "2";
    in.eveningPeriod = "3";
    in.longBreak = "30";
    in.eveningBreak = "15";
    in.lessonLength = "45";
    in.longBreakOn = in.eveningBreakOn = in.fixedMorningEnd = true;
    in.morningCount = in.afternoonCount = "4";
    return in;
}

ScheduleInput with(std::function<void(ScheduleInput&)> change)
{
    ScheduleInput in = defaults();
    change(in);
    return in;
}

// The field an InputError names, or "" when nothing is thrown.
QString refusedField(const std::function<void()>& run)
{
    try {
        run();
    } catch (const InputError& e) {
        EXPECT_TRUE(e.message().contains(e.field())) << e.message().toStdString();
        return e.field();
    }
    return {};
}

const QStringList kMorning = {"(07:50-08:35)", "(08:45-09:30)", "(10:00-10:45)", "(10:55-11:40)"};

} // namespace

TEST(TimeArithmetic, TimeToIntKeepsFractionsAndRoundsTheTotal)
{
    EXPECT_EQ(timeToInt("00:10"), 10);
    EXPECT_EQ(timeToInt("07:50"), 470);
    EXPECT_EQ(timeToInt("1:90"), 150);
    EXPECT_EQ(timeToInt("ab:cd"), 0);
    EXPECT_EQ(timeToInt("7.5:00"), 450);
    EXPECT_EQ(timeToInt(" 1 :30:45"), 90);
    EXPECT_EQ(timeToInt("0:2.5"), 2);
    EXPECT_EQ(timeToInt("0:3.5"), 4);
    EXPECT_EQ(timeToInt("0.01:0.4"), 1); // 0.6 + 0.4, not 0 + 0
    EXPECT_EQ(timeToInt("546:7"), 32767);
}

TEST(TimeArithmetic, AddTimeRoundsPartsCarriesAndPads)
{
    EXPECT_EQ(addTime("07:50", "00:45"), "08:35");
    EXPECT_EQ(addTime("9:5", "0:5"), "09:10");
    EXPECT_EQ(addTime("23:50", "00:45"), "24:35");
    EXPECT_EQ(addTime("10:00", "00:05"), "10:05");
    EXPECT_EQ(addTime("0:2.5", "0:0"), "00:02");
    EXPECT_EQ(addTime("0:3.5", "0:0"), "00:04");
    EXPECT_EQ(addTime("2.5:0.4", "3.5:0.6"), "06:01"); // 2 + 4 hours, 0 + 1 minutes
    EXPECT_EQ(addTime("0:10", "0:-15"), "00:0-5");
    EXPECT_EQ(addTime("1:00", "0:-65"), "00:0-5");
    EXPECT_EQ(addTime("0:59", "0:121"), "03:00");
}

TEST(TimeArithmetic, AverageSharesTheSpanAndTruncates)
{
    EXPECT_EQ(average("07:50", "11:40", 4, "00:30", "00:10"), "0:45");
    EXPECT_EQ(average("14:00", "17:50", 4, "00:15", "00:10"), "0:48");
    EXPECT_EQ(average("08:00", "12:00", 2, "00:00", "00:10"), "2:0");
    // The break total and the division are 32-bit: 200 × 198 minutes of
    // breaks is more than 16 bits hold, the lesson that results is not.
    EXPECT_EQ(average("00:00", "500:00", 200, "00:0", "00:200"), "0:-48");
}

TEST(TimeArithmetic, RefusesOverflowMissingColonAndNoPeriods)
{
    EXPECT_EQ(refusedField([] { timeToInt("546:8"); }), "时间");
    EXPECT_EQ(refusedField([] { timeToInt("0:40000", "课间休息"); }), "课间休息");
    EXPECT_EQ(refusedField([] { addTime("32767:00", "1:00"); }), "时间");
    EXPECT_EQ(refusedField([] { addTime("0:32767", "0:1"); }), "时间");
    EXPECT_EQ(refusedField([] { addTime("0:00", "0:32767.5"); }), "时间");
    EXPECT_EQ(refusedField([] { average("00:00", "300:00", 1, "00:-30000", "00:00", "上午"); }), "上午");
    EXPECT_EQ(refusedField([] { average("00:00", "600:00", 4, "00:00", "00:00"); }), "时间");
    EXPECT_EQ(refusedField([] { average("07:50", "11:40", 0, "00:30", "00:10", "下午"); }), "下午");
    EXPECT_EQ(refusedField([] { timeToInt("10", "每节课"); }), "每节课");
    EXPECT_EQ(refusedField([] { addTime("0750", "00:45", "上午第一节课"); }), "上午第一节课");
    EXPECT_EQ(refusedField([] { average("07:50", "", 4, "00:30", "00:10"); }), "时间");
}

TEST(ComputeSchedule, WorkedExamples)
{
    ScheduleResult r = computeSchedule(defaults());
    EXPECT_EQ(r.labels, kMorning + QStringList({"(14:00-14:45)", "(14:55-15:40)", "(15:50-16:35)", "(16:50-17:50)"}));
    EXPECT_TRUE(r.passed);

    r = computeSchedule(with([](ScheduleInput& in) { in.lessonLength = "0"; }));
    EXPECT_EQ(r.labels, kMorning + QStringList({"(14:00-14:48)", "(14:58-15:46)", "(15:56-16:44)", "(16:59-17:50)"}));
    EXPECT_TRUE(r.passed);

    r = computeSchedule(with([](ScheduleInput& in) { in.fixedMorningEnd = false; in.lessonLength = "50"; }));
    EXPECT_EQ(r.labels, QStringList({"(07:50-08:40)", "(08:50-09:40)", "(10:10-11:00)", "(11:10-12:00)", "(14:00-14:50)",
                                     "(15:00-15:50)", "(16:00-16:50)", "(17:05-17:50)"}));
    EXPECT_FALSE(r.passed);
    EXPECT_EQ(kCheckWarning, QStringLiteral("您的时间表设置有误，可能是 每节课时间 与 上、放学时间 矛盾。可以尝试将 每节课时间 "
                                            "设置为 0 ，这样程序将计算平均值作为每节课的时间。"));
}

TEST(ComputeSchedule, OnlyTheTextZeroAsksForTheAverage)
{
    const ScheduleResult averaged = computeSchedule(with([](ScheduleInput& in) { in.lessonLength = "0"; }));
    for (const char* zero : {"00", " 0", "0.0"}) {
        const ScheduleResult r = computeSchedule(with([&](ScheduleInput& in) { in.lessonLength = zero; }));
        EXPECT_EQ(r.labels.mid(0, 4), kMorning) << zero; // the fixed morning end still averages
        EXPECT_EQ(r.labels[4], "(14:00-14:00)") << zero; // a lesson of no length
        EXPECT_NE(r.labels, averaged.labels) << zero;
        EXPECT_FALSE(r.passed) << zero;
    }
}

TEST(ComputeSchedule, HalfDayVariants)
{
    // One period: it ends at first bell + lesson, even with a fixed end.
    ScheduleResult r = computeSchedule(with([](ScheduleInput& in) { in.morningCount = in.afternoonCount = "1"; }));
    EXPECT_EQ(r.labels, QStringList({"(07:50-11:20)", "(14:00-14:45)"})); // morning average 230 − (30 − 10)

    // A long break after period 5 of 4 is never laid out, yet shortens the average.
    r = computeSchedule(with([](ScheduleInput& in) { in.longBreakPeriod = "5"; in.afternoonCount = "0"; }));
    EXPECT_EQ(r.labels, QStringList({"(07:50-08:35)", "(08:45-09:30)", "(09:40-10:25)", "(10:35-11:40)"}));
    EXPECT_TRUE(r.passed);

    // Both breaks off: the ordinary break stands in, in the average too.
    r = computeSchedule(with([](ScheduleInput& in) {
        in.longBreakOn = in.eveningBreakOn = false;
        in.lessonLength = "0";
    }));
    EXPECT_EQ(r.labels, QStringList({"(07:50-08:40)", "(08:50-09:40)", "(09:50-10:40)", "(10:50-11:40)",
                                     "(14:00-14:50)", "(15:00-15:50)", "(16:00-16:50)", "(17:00-17:50)"}));

    // The truncated minutes go to the fixed last period (73, 73, 74).
    r = computeSchedule(with([](ScheduleInput& in) {
        in.morningFirstBell = "08:00";
        in.morningDismissal = "12:00";
        in.morningCount = "2.5"; // ties to even: two periods
        in.afternoonCount = "0";
        in.longBreakOn = false;
    }));
    EXPECT_EQ(r.labels, QStringList({"(08:00-09:55)", "(10:05-12:00)"}));
    r = computeSchedule(with([](ScheduleInput& in) {
        in.morningFirstBell = "08:00";
        in.morningDismissal = "12:00";
        in.morningCount = "3";
        in.afternoonCount = "0";
        in.longBreakOn = false;
    }));
    EXPECT_EQ(r.labels, QStringList({"(08:00-09:13)", "(09:23-10:36)", "(10:46-12:00)"}));

    // Past midnight, and a one-digit hour that the old fixed-position check refused.
    r = computeSchedule(with([](ScheduleInput& in) { in.morningCount = "0"; in.afternoonFirstBell = "23:50"; in.afternoonCount = "1"; }));
    EXPECT_EQ(r.labels, QStringList({"(23:50-24:35)"}));
    EXPECT_TRUE(r.passed);
    r = computeSchedule(with([](ScheduleInput& in) {
        in.morningFirstBell = "9:50";
        in.fixedMorningEnd = in.longBreakOn = false;
        in.morningCount = "2";
        in.afternoonCount = "0";
    }));
    EXPECT_EQ(r.labels, QStringList({"(9:50-10:35)", "(10:45-11:30)"}));
    EXPECT_TRUE(r.passed);
}

TEST(ComputeSchedule, RefusedInputNamesTheField)
{
    namespace f = fieldname;
    const struct {
        std::function<void(ScheduleInput&)> change;
        QString field;
    } cases[] = {
        {[](ScheduleInput& in) { in.morningFirstBell = "0750"; }, f::morningFirstBell},
        {[](ScheduleInput& in) { in.morningDismissal = ""; }, f::morningDismissal},
        {[](ScheduleInput& in) { in.afternoonFirstBell = "两点"; }, f::afternoonFirstBell},
        {[](ScheduleInput& in) { in.afternoonDismissal = " "; }, f::afternoonDismissal},
        {[](ScheduleInput& in) { in.ordinaryBreak = "99999"; }, f::ordinaryBreak},
        {[](ScheduleInput& in) { in.lessonLength = "40000"; }, f::lessonLength},
        {[](ScheduleInput& in) { in.longBreak = "1e9"; }, f::longBreak},
        {[](ScheduleInput& in) { in.eveningPeriod = "70000"; }, f::eveningPeriod},
        {[](ScheduleInput& in) { in.morningCount = "-1"; }, f::morningCount},
        {[](ScheduleInput& in) { in.afternoonCount = "40000"; }, f::afternoonCount},
        {[](ScheduleInput& in) { in.morningCount = in.afternoonCount = "0"; }, f::morningCount},
        {[](ScheduleInput& in) { in.afternoonDismissal = "600:00"; }, f::afternoonDismissal},
        {[](ScheduleInput& in) { in.afternoonFirstBell = "546:00"; }, QStringLiteral("下午第1节课")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(refusedField([&] { computeSchedule(with(c.change)); }), c.field);

    // Fields of a half-day without periods, or of a break that is off, are not read.
    EXPECT_NO_THROW(computeSchedule(with([](ScheduleInput& in) {
        in.morningCount = "0";
        in.morningFirstBell = in.morningDismissal = "";
        in.eveningBreakOn = false;
        in.eveningBreak = "99999";
    })));
}

TEST(ComputeSchedule, FieldsTheLayoutNeverUsesAreNotRead)
{
    namespace f = fieldname;

    // One afternoon period with a typed lesson length ends at its first bell
    // plus the lesson: the dismissal time is never looked at.
    for (const char* dismissal : {"", "五点", "600:00"}) {
        const ScheduleResult r = computeSchedule(with([&](ScheduleInput& in) {
            in.afternoonCount = "1";
            in.afternoonDismissal = dismissal;
        }));
        EXPECT_EQ(r.labels, kMorning + QStringList({"(14:00-14:45)"})) << dismissal;
        EXPECT_TRUE(r.passed) << dismissal;
    }
    // ... but it is read as soon as it ends a period or bounds an average.
    EXPECT_EQ(refusedField([] { computeSchedule(with([](ScheduleInput& in) {
                  in.afternoonCount = "2";
                  in.afternoonDismissal = "";
              })); }),
              f::afternoonDismissal);
    EXPECT_EQ(refusedField([] { computeSchedule(with([](ScheduleInput& in) {
                  in.afternoonCount = "1";
                  in.lessonLength = "0";
                  in.afternoonDismissal = "";
              })); }),
              f::afternoonDismissal);

    // No ordinary break anywhere: single periods, or two periods split by
    // the long break. The ordinary break is then never added.
    const auto noOrdinaryBreak = [](ScheduleInput& in) {
        in.fixedMorningEnd = false;
        in.morningCount = "2";
        in.longBreakPeriod = "1";
        in.afternoonCount = "1";
        in.ordinaryBreak = "99999";
    };
    ScheduleResult r = computeSchedule(with(noOrdinaryBreak));
    EXPECT_EQ(r.labels, QStringList({"(07:50-08:35)", "(09:05-09:50)", "(14:00-14:45)"}));
    EXPECT_TRUE(r.passed);
    r = computeSchedule(with([&](ScheduleInput& in) {
        noOrdinaryBreak(in);
        in.morningCount = "1";
        in.longBreakPeriod = "70000"; // nothing to place the long break between
        in.longBreak = "99999";
    }));
    EXPECT_EQ(r.labels, QStringList({"(07:50-08:35)", "(14:00-14:45)"}));

    // Each way the ordinary break comes back into use refuses it.
    const std::function<void(ScheduleInput&)> usesOrdinaryBreak[] = {
        [](ScheduleInput& in) { in.morningCount = "3"; },          // a second gap in the morning
        [](ScheduleInput& in) { in.longBreakOn = false; },         // the long break off
        [](ScheduleInput& in) { in.afternoonCount = "2"; in.eveningPeriod = "2"; }, // an afternoon gap
        [](ScheduleInput& in) { in.fixedMorningEnd = true; },      // the morning is averaged
        [](ScheduleInput& in) { in.lessonLength = "0"; },          // both are averaged
    };
    for (const auto& change : usesOrdinaryBreak) {
        EXPECT_EQ(refusedField([&] { computeSchedule(with([&](ScheduleInput& in) {
                      noOrdinaryBreak(in);
                      change(in);
                  })); }),
                  f::ordinaryBreak);
    }

    // A long break after a period the morning does not have is laid out
    // nowhere; unless the morning is averaged, its length is not read.
    r = computeSchedule(with([](ScheduleInput& in) {
        in.fixedMorningEnd = false;
        in.longBreakPeriod = "5";
        in.longBreak = "1e9";
        in.afternoonCount = "0";
    }));
    EXPECT_EQ(r.labels, QStringList({"(07:50-08:35)", "(08:45-09:30)", "(09:40-10:25)", "(10:35-11:20)"}));
    EXPECT_EQ(refusedField([] { computeSchedule(with([](ScheduleInput& in) {
                  in.longBreakPeriod = "5";
                  in.longBreak = "1e9";
              })); }),
              f::longBreak);
}

TEST(CheckTime, EndsAfterStartsAndLastLength)
{
    EXPECT_TRUE(checkTime({"(9:50-10:35)"}, "45"));
    EXPECT_FALSE(checkTime({"(9:50-10:35)"}, "45.5"));
    EXPECT_TRUE(checkTime({"(9:50-10:35)"}, "44.9"));
    EXPECT_FALSE(checkTime({"(10:00-09:59)", "(11:00-12:00)"}, "0"));
    EXPECT_FALSE(checkTime({"(08:00-08:00)"}, "0"));
    EXPECT_TRUE(checkTime({"(23:50-24:35)"}, "每节 45 分钟")); // a text with no leading number reads as 0
    EXPECT_FALSE(checkTime({}, "45"));
    // Only the last period is measured against the lesson length.
    EXPECT_TRUE(checkTime({"(08:00-08:01)", "(09:00-10:00)"}, "45"));
    EXPECT_EQ(refusedField([] { checkTime({"(0800-0845)"}, "45"); }), "(0800-0845)");
}
