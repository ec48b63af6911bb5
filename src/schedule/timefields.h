#pragma once
// Reading the period-time dialog's text as the computation needs it: times
// as "hours:minutes" (each part the number it begins with, rounded), counts
// and period numbers, every result held to 16 bits as the computation's
// numbers are. A field that cannot be read raises InputError naming it.

#include "schedule/periodtimes.h"

#include <QString>

namespace schedule::fields {

QString nameOr(const QString& field);
[[noreturn]] void throwOverflow(const QString& field);

// A result of 16-bit arithmetic, refused when it does not fit.
qint16 fit16(qint64 value, const QString& field);

// The hour and minute parts of a time as read, fractions kept.
struct RawTime {
    double hour;
    double minute;
};
RawTime readTime(const QString& text, const QString& field);

// The hour and minute parts, each rounded on its own.
struct Clock {
    qint16 hour;
    qint16 minute;
};
Clock readClock(const QString& text, const QString& field);

// Hours and minutes below 10 get a "0" in front, negative ones included.
QString twoDigits(qint16 value);

// A time field of the dialog, checked when the computation first reads it:
// a field that the layout never uses (the dismissal of a half-day with one
// period, the ordinary break of a day with no ordinary break) can hold
// anything without the schedule being refused. The check (a ":", every way
// the program reads it within 16 bits) comes before its first use, so that
// the message names the field the user typed, not a period computed from it.
class TimeField {
public:
    TimeField(QString text, QString name) : m_text(std::move(text)), m_name(std::move(name)) {}
    const QString& read();

private:
    QString m_text;
    QString m_name;
    bool m_checked = false;
};

qint16 readCount(const QString& text, const QString& field);
qint16 readPeriodNumber(const QString& text, const QString& field);

} // namespace schedule::fields
