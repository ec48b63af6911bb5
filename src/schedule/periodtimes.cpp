#include "schedule/periodtimes.h"

#include "common/numberreading.h"
#include "schedule/timefields.h"

#include <QList>

#include <optional>
#include <utility>

namespace schedule {

using namespace fields;

namespace {

struct Span {
    QString start;
    QString end;
    QString name; // "上午第3节课", for error messages
};

// One half-day as the layout sees it: periods from a first bell, one special
// break (the long break, or the one before evening study) after a given
// period, the ordinary break between the others, and the lesson length
// either typed or averaged between the first bell and the dismissal.
struct HalfDay {
    TimeField* firstBell = nullptr;
    TimeField* dismissal = nullptr;
    qint16 count = 0;
    bool averaged = false;
    bool fixedEnd = false; // the last of two or more periods ends at the dismissal
    bool specialOn = false;
    TimeField* specialBreak = nullptr;
    const QString* specialPeriod = nullptr; // as typed
    QString specialPeriodField;
    TimeField* ordinaryBreak = nullptr;
    TimeField* lesson = nullptr;
    QString averageName; // "上午每节课的平均时间"
    QString periodName;  // "上午第%1节课"
};

void layOut(const HalfDay& day, QList<Span>& spans)
{
    if (day.count <= 0)
        return;

    // The period the special break follows decides which gap it takes; with
    // a single period there is no gap to decide on.
    const qint16 specialAfter =
        (day.specialOn && day.count >= 2) ? readPeriodNumber(*day.specialPeriod, day.specialPeriodField) : 0;

    const QString& firstBell = day.firstBell->read();
    QString lesson;
    if (day.averaged) {
        const QString& dismissal = day.dismissal->read();
        // With the special break off, the ordinary break stands in for it.
        const QString& special = day.specialOn ? day.specialBreak->read() : day.ordinaryBreak->read();
        const QString& ordinary = day.ordinaryBreak->read();
        lesson = average(firstBell, dismissal, day.count, special, ordinary, day.averageName);
    } else {
        lesson = day.lesson->read();
    }

    QString start = firstBell;
    for (qint16 j = 1; j <= day.count; ++j) {
        const QString name = day.periodName.arg(j);
        // The last of two or more periods ends at the fixed end, however long
        // that makes it; a lone period keeps its lesson length.
        const QString end = (day.fixedEnd && j == day.count && j >= 2) ? day.dismissal->read()
                                                                        : addTime(start, lesson, name);
        spans.append({start, end, name});
        if (j == day.count)
            break;
        const bool special = day.specialOn && j == specialAfter;
        start = addTime(end, special ? day.specialBreak->read() : day.ordinaryBreak->read(), name);
    }
}

bool checkSpans(const QList<Span>& spans, const QString& lessonLength)
{
    if (spans.isEmpty())
        return false;
    for (const Span& span : spans) {
        if (timeToInt(span.end, span.name) <= timeToInt(span.start, span.name))
            return false;
    }
    const Span& last = spans.last();
    const Clock start = readClock(last.start, last.name);
    const Clock end = readClock(last.end, last.name);
    const qint16 hours = fit16(qint64(end.hour) - start.hour, last.name);
    const qint16 hourMinutes = fit16(qint64(hours) * 60, last.name);
    const qint16 minutes = fit16(qint64(end.minute) - start.minute, last.name);
    const qint16 length = fit16(qint64(hourMinutes) + minutes, last.name);
    return length >= numbers::leading(lessonLength);
}

} // namespace

QString average(const QString& startTime, const QString& endTime, qint16 periods,
                const QString& longBreak, const QString& ordinaryBreak, const QString& field)
{
    if (periods == 0) {
        const QString name = nameOr(field);
        throw InputError(name, QStringLiteral("计算“%1”时节数为 0，没有课可以分配时间。").arg(name));
    }
    const Clock start = readClock(startTime, field);
    const Clock end = readClock(endTime, field);
    const qint32 dk = timeToInt(longBreak, field);
    const qint32 xk = timeToInt(ordinaryBreak, field);
    // All the breaks of the half-day: one long one and the ordinary ones
    // between the other periods. 32-bit, as is the division below.
    const qint32 breaks = xk * (qint32(periods) - 2) + dk;
    const qint16 hours = fit16(qint64(end.hour) - start.hour, field);
    const qint16 hourMinutes = fit16(qint64(hours) * 60, field);
    const qint16 minutes = fit16(qint64(end.minute) - start.minute, field);
    const qint16 span = fit16(qint64(hourMinutes) + minutes, field);
    const qint16 lesson = fit16((qint32(span) - breaks) / qint32(periods), field);
    return QStringLiteral("%1:%2").arg(lesson / 60).arg(lesson % 60);
}

ScheduleResult computeSchedule(const ScheduleInput& in)
{
    namespace f = fieldname;

    const qint16 morning = readCount(in.morningCount, f::morningCount);
    const qint16 afternoon = readCount(in.afternoonCount, f::afternoonCount);
    if (morning == 0 && afternoon == 0) {
        throw InputError(f::morningCount,
                         QStringLiteral("“%1”和“%2”都是 0，时间表中没有一节课，请至少设置一节课。")
                             .arg(f::morningCount, f::afternoonCount));
    }

    // Only the character "0" itself asks for the average; "00" or "0.0" is a
    // lesson of no length, which the check below then refuses.
    const bool averageAsked = in.lessonLength == QStringLiteral("0");
    TimeField ordinaryBreak(QStringLiteral("00:") + in.ordinaryBreak, f::ordinaryBreak);
    TimeField lessonLength(QStringLiteral("00:") + in.lessonLength, f::lessonLength);

    QList<Span> spans;
    spans.reserve(morning + afternoon);

    TimeField morningFirstBell(in.morningFirstBell, f::morningFirstBell);
    TimeField morningDismissal(in.morningDismissal, f::morningDismissal);
    TimeField longBreak(QStringLiteral("00:") + in.longBreak, f::longBreak);
    HalfDay am;
    am.firstBell = &morningFirstBell;
    am.dismissal = &morningDismissal;
    am.count = morning;
    // A fixed dismissal averages the morning whatever lesson length is typed.
    am.averaged = averageAsked || in.fixedMorningEnd;
    am.fixedEnd = in.fixedMorningEnd;
    am.specialOn = in.longBreakOn;
    am.specialBreak = &longBreak;
    am.specialPeriod = &in.longBreakPeriod;
    am.specialPeriodField = f::longBreakPeriod;
    am.ordinaryBreak = &ordinaryBreak;
    am.lesson = &lessonLength;
    am.averageName = QStringLiteral("上午每节课的平均时间");
    am.periodName = QStringLiteral("上午第%1节课");
    layOut(am, spans);

    TimeField afternoonFirstBell(in.afternoonFirstBell, f::afternoonFirstBell);
    TimeField afternoonDismissal(in.afternoonDismissal, f::afternoonDismissal);
    TimeField eveningBreak(QStringLiteral("00:") + in.eveningBreak, f::eveningBreak);
    HalfDay pm;
    pm.firstBell = &afternoonFirstBell;
    pm.dismissal = &afternoonDismissal;
    pm.count = afternoon;
    pm.averaged = averageAsked;
    pm.fixedEnd = true; // the afternoon always ends at its dismissal time
    pm.specialOn = in.eveningBreakOn;
    pm.specialBreak = &eveningBreak;
    pm.specialPeriod = &in.eveningPeriod;
    pm.specialPeriodField = f::eveningPeriod;
    pm.ordinaryBreak = &ordinaryBreak;
    pm.lesson = &lessonLength;
    pm.averageName = QStringLiteral("下午每节课的平均时间");
    pm.periodName = QStringLiteral("下午第%1节课");
    layOut(pm, spans);

    ScheduleResult result;
    result.labels.reserve(spans.size());
    for (const Span& span : std::as_const(spans))
        result.labels.append(u'(' + span.start + u'-' + span.end + u')');
    result.passed = checkSpans(spans, in.lessonLength);
    return result;
}

bool checkTime(const QStringList& labels, const QString& lessonLength)
{
    QList<Span> spans;
    spans.reserve(labels.size());
    for (const QString& label : labels) {
        QStringView body(label);
        if (body.startsWith(u'('))
            body = body.mid(1);
        if (body.endsWith(u')'))
            body.chop(1);
        // The two times are split at the first "-" after the start's ":" that
        // leaves a ":" for the end. The start's hour part may itself hold a
        // "-" (a negative hour), which this skips over.
        const qsizetype colon = body.indexOf(u':');
        qsizetype dash = colon < 0 ? -1 : body.indexOf(u'-', colon + 1);
        while (dash >= 0 && !body.mid(dash + 1).contains(u':'))
            dash = body.indexOf(u'-', dash + 1);
        if (dash < 0) {
            throw InputError(label, QStringLiteral("时间段“%1”不是“(开始时间-结束时间)”的形式，无法检查。")
                                        .arg(label));
        }
        spans.append({body.left(dash).toString(), body.mid(dash + 1).toString(), label});
    }
    return checkSpans(spans, lessonLength);
}

} // namespace schedule
