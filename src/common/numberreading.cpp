#include "common/numberreading.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace numbers {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == QChar(0x3000);
}

// The decimal exponent of the first significant digit of a number written
// as leading() gathers it ("0.05e3" -> 1), to tell a value too large for a double
// from one too small. Only its sign matters; it saturates rather than
// overflowing on an absurdly long exponent.
long long magnitude(const std::string& number)
{
    long long intDigits = 0;        // significant digits before the point
    long long zerosAfterPoint = 0;  // zeros between the point and the first significant digit
    bool significant = false;
    bool afterPoint = false;
    std::size_t i = 0;
    for (; i < number.size() && number[i] != 'e'; ++i) {
        const char c = number[i];
        if (c == '.') {
            afterPoint = true;
        } else if (c >= '0' && c <= '9') {
            if (!significant && c == '0') {
                zerosAfterPoint += afterPoint ? 1 : 0;
                continue;
            }
            significant = true;
            intDigits += afterPoint ? 0 : 1;
        }
    }
    if (!significant)
        return 0;
    long long exponent = 0;
    bool negative = false;
    if (i < number.size()) {
        ++i;
        if (i < number.size() && (number[i] == '-' || number[i] == '+'))
            negative = number[i++] == '-';
        for (; i < number.size(); ++i) {
            if (exponent < 1'000'000'000)
                exponent = exponent * 10 + (number[i] - '0');
        }
    }
    const long long first = intDigits > 0 ? intDigits - 1 : -(zerosAfterPoint + 1);
    return first + (negative ? -exponent : exponent);
}

} // namespace

double leading(QStringView text)
{
    // Gather the characters that can form a number, skipping blanks, and stop
    // at the first one that cannot continue it.
    std::string digits;
    bool seenDigit = false;
    bool seenPoint = false;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };

    skipBlanks();
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        digits += char(text[i].unicode());
        ++i;
    }
    for (;; ++i) {
        skipBlanks();
        if (i >= n)
            break;
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            digits += char(c.unicode());
            seenDigit = true;
        } else if (c == u'.' && !seenPoint) {
            digits += '.';
            seenPoint = true;
        } else {
            break;
        }
    }
    // An exponent counts only when digits follow it.
    if (seenDigit && i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        std::string exponent = "e";
        qsizetype j = i + 1;
        auto skip = [&] {
            while (j < n && isBlank(text[j]))
                ++j;
        };
        skip();
        if (j < n && (text[j] == u'-' || text[j] == u'+'))
            exponent += char(text[j++].unicode());
        bool expDigit = false;
        for (;; ++j) {
            skip();
            if (j >= n || text[j] < u'0' || text[j] > u'9')
                break;
            exponent += char(text[j].unicode());
            expDigit = true;
        }
        if (expDigit)
            digits += exponent;
    }
    if (!seenDigit)
        return 0.0;

    // std::from_chars reads the same way whatever the user's locale: the
    // C library's strtod would take "7.5" for 7 where the decimal mark is a
    // comma. It refuses a leading "+", so the sign is taken off first.
    const bool negative = digits.front() == '-';
    const std::size_t start = (digits.front() == '-' || digits.front() == '+') ? 1 : 0;
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(digits.data() + start, digits.data() + digits.size(), value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Too large reads as infinitely large, which no range check lets
        // through; too small as 0.
        value = magnitude(digits) > 0 ? HUGE_VAL : 0.0;
    } else if (error != std::errc() || end != digits.data() + digits.size()) {
        return 0.0; // cannot happen: the text gathered is always a number
    }
    return negative ? -value : value;
}

double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5)
        return floor;
    if (diff > 0.5)
        return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::optional<std::int16_t> toInt16(double rounded)
{
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::optional<std::int16_t> wholeInt16(QStringView text)
{
    return toInt16(roundHalfEven(leading(text)));
}

QString halfWidth(QString text)
{
    for (QChar& c : text) {
        if (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E)
            c = QChar(c.unicode() - 0xFF01 + 0x21);
        else if (c.unicode() == 0x3000)
            c = u' ';
    }
    return text;
}

} // namespace numbers
