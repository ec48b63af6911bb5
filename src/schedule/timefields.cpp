#include "schedule/timefields.h"

#include "common/numberreading.h"

#include <optional>

namespace schedule {

namespace fields {

QString nameOr(const QString& field)
{
    return field.isEmpty() ? QStringLiteral("时间") : field;
}

[[noreturn]] void throwOverflow(const QString& field)
{
    const QString name = nameOr(field);
    throw InputError(name, QStringLiteral("“%1”超出了程序能计算的范围（-32768～32767），请检查所填的时间和数字。")
                               .arg(name));
}

[[noreturn]] static void throwNoColon(const QString& field, const QString& text)
{
    const QString name = nameOr(field);
    if (text.trimmed().isEmpty())
        throw InputError(name, QStringLiteral("“%1”没有填写时间，请按“时:分”的形式填写，例如 07:50。").arg(name));
    throw InputError(name, QStringLiteral("“%1”中的“%2”不是时间：缺少“:”，请按“时:分”的形式填写，例如 07:50。")
                               .arg(name, text));
}

// A result of 16-bit arithmetic, refused when it does not fit.
qint16 fit16(qint64 value, const QString& field)
{
    if (value < -32768 || value > 32767)
        throwOverflow(field);
    return static_cast<qint16>(value);
}

RawTime readTime(const QString& text, const QString& field)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0)
        throwNoColon(field, text);
    // The minute part's number stops at a second ":" by itself, since ":"
    // cannot continue a number.
    return {numbers::leading(QStringView(text).left(colon)),
            numbers::leading(QStringView(text).mid(colon + 1))};
}

static qint16 roundedPart(double value, const QString& field)
{
    const std::optional<std::int16_t> part = numbers::toInt16(numbers::roundHalfEven(value));
    if (!part)
        throwOverflow(field);
    return *part;
}

Clock readClock(const QString& text, const QString& field)
{
    const RawTime raw = readTime(text, field);
    return {roundedPart(raw.hour, field), roundedPart(raw.minute, field)};
}

// Hours and minutes below 10 get a "0" in front, negative ones included.
QString twoDigits(qint16 value)
{
    return value < 10 ? QStringLiteral("0") + QString::number(value) : QString::number(value);
}

// A time field that the layout reads: it must have ":" and every way the
// program reads it must fit 16 bits. Checked before its first use so that the
// message names the field the user typed, not a period computed from it.
static void validateTime(const QString& text, const QString& field)
{
    readClock(text, field);
    timeToInt(text, field);
}

const QString& TimeField::read()
{
    if (!m_checked) {
        validateTime(m_text, m_name);
        m_checked = true;
    }
    return m_text;
}

qint16 readCount(const QString& text, const QString& field)
{
    const std::optional<std::int16_t> count = numbers::wholeInt16(text);
    if (!count)
        throwOverflow(field);
    if (*count < 0)
        throw InputError(field, QStringLiteral("“%1”不能是负数。").arg(field));
    return *count;
}

qint16 readPeriodNumber(const QString& text, const QString& field)
{
    const std::optional<std::int16_t> number = numbers::wholeInt16(text);
    if (!number)
        throwOverflow(field);
    return *number;
}

} // namespace fields

using namespace fields;

InputError::InputError(const QString& field, const QString& message)
    : std::runtime_error(message.toStdString())
    , m_field(field)
    , m_message(message)
{
}

qint16 timeToInt(const QString& time, const QString& field)
{
    const RawTime raw = readTime(time, field);
    const std::optional<std::int16_t> total =
        numbers::toInt16(numbers::roundHalfEven(raw.hour * 60.0 + raw.minute));
    if (!total)
        throwOverflow(field);
    return *total;
}

QString addTime(const QString& start, const QString& length, const QString& field)
{
    const Clock a = readClock(start, field);
    const Clock b = readClock(length, field);
    const qint16 sum = fit16(qint64(a.minute) + b.minute, field);
    // C++ division truncates and % keeps the sign of the sum, so negative
    // minutes stay negative rather than borrowing an hour.
    const qint16 minutes = static_cast<qint16>(sum % 60);
    const qint16 carry = static_cast<qint16>(sum / 60);
    const qint16 hours = fit16(qint64(fit16(qint64(a.hour) + b.hour, field)) + carry, field);
    return twoDigits(hours) + u':' + twoDigits(minutes);
}

} // namespace schedule
