#pragma once
// Period times: from the bell times, the counts of periods and the breaks
// typed into the schedule dialog to the labels "(07:50-08:35)" of every period.
//
// Times travel as texts. A clock time is hours ":" minutes; everything before
// the first ":" is the hour part, everything after it the minute part, each
// read as the number it begins with (see common/numberreading.h). A duration
// has the same form; the dialog's minute fields become durations by putting
// "00:" in front of them. Minute counts, hour and minute parts and their sums
// and differences are signed 16-bit; a value outside that range is refused.

#include <QString>
#include <QStringList>

#include <stdexcept>

namespace schedule {

// Shown (titled kCheckWarningTitle) when the laid-out schedule fails checkTime.
inline const QString kCheckWarningTitle = QStringLiteral("警告");
inline const QString kCheckWarning = QStringLiteral(
    "您的时间表设置有误，可能是 每节课时间 与 上、放学时间 矛盾。可以尝试将 每节课时间 设置为 0 ，"
    "这样程序将计算平均值作为每节课的时间。");

// The names of the dialog's fields as they appear in error messages.
namespace fieldname {
inline const QString morningFirstBell = QStringLiteral("上午第一节课");
inline const QString morningDismissal = QStringLiteral("上午放学时间");
inline const QString afternoonFirstBell = QStringLiteral("下午第一节课");
inline const QString afternoonDismissal = QStringLiteral("下午放学时间");
inline const QString ordinaryBreak = QStringLiteral("课间休息");
inline const QString longBreakPeriod = QStringLiteral("上午大课间的节次");
inline const QString eveningPeriod = QStringLiteral("晚自习前一节课的节次");
inline const QString longBreak = QStringLiteral("上午大课间");
inline const QString eveningBreak = QStringLiteral("晚自习前的课间");
inline const QString lessonLength = QStringLiteral("每节课时间");
inline const QString morningCount = QStringLiteral("上午节数");
inline const QString afternoonCount = QStringLiteral("下午节数");
} // namespace fieldname

// A value typed into the dialog that cannot be used. message() is one Chinese
// sentence that names the field and says what is wrong.
class InputError : public std::runtime_error {
public:
    InputError(const QString& field, const QString& message);

    QString field() const { return m_field; }
    QString message() const { return m_message; }

private:
    QString m_field;
    QString m_message;
};

// In the functions below, `field` names the value being read or computed for
// error messages ("上午第一节课", "上午第3节课" ...); left empty, the message
// speaks of "时间". Each throws InputError for a time without ":" or a value
// outside 16 bits.

// Minutes in a time: hours × 60 + minutes, fractions kept, the total rounded
// (ties to even). "07:50" -> 470, "1:90" -> 150.
qint16 timeToInt(const QString& time, const QString& field = QString());

// start + length, hour and minute parts rounded first. Minutes past 60 carry
// into the hours; the hours do not wrap at midnight ("23:50" + "00:45" is
// "24:35"). Each part is written with a "0" in front when below 10.
QString addTime(const QString& start, const QString& length, const QString& field = QString());

// The length of each of `periods` lessons between startTime and endTime when
// one long break and (periods − 2) ordinary breaks are taken out, truncated to
// whole minutes, as "h:m" without leading zeros: ("07:50", "11:40", 4,
// "00:30", "00:10") -> "0:45". Throws InputError when periods is 0.
QString average(const QString& startTime, const QString& endTime, qint16 periods,
                const QString& longBreak, const QString& ordinaryBreak,
                const QString& field = QString());

// The dialog's values as typed (the names of the original controls beside them).
struct ScheduleInput {
    QString morningFirstBell;   // Text1
    QString morningDismissal;   // Text2
    QString afternoonFirstBell; // Text3
    QString afternoonDismissal; // Text4
    QString ordinaryBreak;      // Text5, minutes
    QString longBreakPeriod;    // Text6, the morning period the long break follows
    QString eveningPeriod;      // Text7, the afternoon period the afternoon break follows
    QString longBreak;          // Text8, minutes
    QString eveningBreak;       // Text9, minutes
    QString lessonLength;       // Text10, minutes; exactly "0" asks for the average
    bool longBreakOn = false;     // Check2
    bool eveningBreakOn = false;  // Check1
    bool fixedMorningEnd = false; // Option2 selected
    QString morningCount;
    QString afternoonCount;
};

struct ScheduleResult {
    QStringList labels; // "(start-end)" for every period, morning first
    bool passed = false; // false: show kCheckWarning
};

// Lays out the periods of both half-days and checks the result. Throws
// InputError for a field that cannot be read, a value outside 16 bits, a
// negative count, or no periods at all. Only the fields that the layout
// uses are read: not the dismissal of a half-day with one period whose
// lesson length is typed, not a break that falls in no gap between periods
// and is not part of an average.
ScheduleResult computeSchedule(const ScheduleInput& input);

// Every period must end after it starts, and the last one must be at least
// as long as the lesson length typed (its leading number). An empty list does
// not pass. Throws InputError for a label that is not "(start-end)" with a
// ":" in both times.
bool checkTime(const QStringList& labels, const QString& lessonLength);

} // namespace schedule
