#include "common/numberreading.h"

#include <cmath>
#include <string>

namespace numbers {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == QChar(0x3000);
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
    const double value = std::strtod(digits.c_str(), nullptr);
    return std::isfinite(value) ? value : (value > 0 ? HUGE_VAL : -HUGE_VAL);
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

} // namespace numbers
