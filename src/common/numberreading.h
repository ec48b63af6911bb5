#pragma once
// How the program reads a number out of a text box: the number the text
// begins with, blanks ignored anywhere, 0 when the text does not begin with
// a number. Whole numbers are rounded to the nearest integer, ties to the
// even neighbour (2.5 -> 2, 3.5 -> 4).

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace numbers {

// The leading number of a text, fractions kept: "  4节" -> 4, "7.5:00" -> 7.5,
// "1 2" -> 12, "-3" -> -3, "abc" -> 0, "1e2" -> 100.
double leading(QStringView text);

// Nearest integer, ties to even. Stays a double so that huge values can be
// range-checked by the caller instead of overflowing.
double roundHalfEven(double value);

// The rounded leading number when it fits a signed 16-bit whole number.
std::optional<std::int16_t> wholeInt16(QStringView text);

// A rounded value as 16-bit, when it fits.
std::optional<std::int16_t> toInt16(double rounded);

// The text with full-width letters, digits and signs ("１２．５", typed
// with a Chinese input method in full-width mode) and the ideographic
// space turned into their ASCII forms, for boxes that take a number.
QString halfWidth(QString text);

} // namespace numbers
