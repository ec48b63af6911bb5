#pragma once
// Font sizes as Chinese word processors name them (初号 … 八号) beside
// plain point sizes.

#include <QString>
#include <QStringList>
#include <optional>

namespace wordprocessor {

// The named sizes, largest first, then the usual point sizes.
const QStringList& fontSizeChoices();

// The size a typed or chosen text stands for: a size name ("小四", "五号"),
// or a number of points ("12", "10.5", "12磅"); nothing when it is neither or
// outside 1–1638 points (what a .doc file can record).
std::optional<double> fontSizeFromText(const QString& text);

// The next size of the list above or below `points` (Ctrl+] and Ctrl+[);
// past the list's ends, a point more or less, within 1–1638.
double nextFontSize(double points, bool larger);

// How a size is shown: its name when it has one, else its points.
QString fontSizeText(double points);

} // namespace wordprocessor
