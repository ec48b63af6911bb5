#include "wordprocessor/fontsizes.h"

#include "common/numberreading.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace wordprocessor {

namespace {

struct NamedSize {
    const char16_t* name;
    double points;
};

constexpr NamedSize kNamed[] = {
    {u"初号", 42},  {u"小初", 36}, {u"一号", 26},  {u"小一", 24},  {u"二号", 22},  {u"小二", 18},
    {u"三号", 16},  {u"小三", 15}, {u"四号", 14},  {u"小四", 12},  {u"五号", 10.5}, {u"小五", 9},
    {u"六号", 7.5}, {u"小六", 6.5}, {u"七号", 5.5}, {u"八号", 5},
};

constexpr double kPoints[] = {5, 5.5, 6.5, 7.5, 8, 9, 10, 10.5, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

} // namespace

const QStringList& fontSizeChoices()
{
    static const QStringList choices = [] {
        QStringList list;
        for (const NamedSize& size : kNamed)
            list << QString::fromUtf16(size.name);
        for (double points : kPoints)
            list << QLocale::c().toString(points);
        return list;
    }();
    return choices;
}

std::optional<double> fontSizeFromText(const QString& text)
{
    QString t = numbers::halfWidth(text).trimmed();
    for (const NamedSize& size : kNamed)
        if (t == QString::fromUtf16(size.name))
            return size.points;
    for (const QString& unit : {QStringLiteral("磅"), QStringLiteral("pt")})
        if (t.endsWith(unit, Qt::CaseInsensitive))
            t = t.chopped(unit.size()).trimmed();
    bool ok = false;
    const double points = QLocale::c().toDouble(t, &ok);
    if (!ok || !(points >= 1 && points <= 1638))
        return std::nullopt;
    return std::round(points * 2) / 2; // a .doc keeps half points
}

double nextFontSize(double points, bool larger)
{
    // kNamed and kPoints hold the same sizes between 5 and 42 points.
    if (larger) {
        for (double size : kPoints)
            if (size > points + 0.01)
                return size;
        return std::min(std::floor(points) + 1, 1638.0);
    }
    for (auto it = std::rbegin(kPoints); it != std::rend(kPoints); ++it)
        if (*it < points - 0.01)
            return *it;
    return std::max(std::ceil(points) - 1, 1.0);
}

QString fontSizeText(double points)
{
    for (const NamedSize& size : kNamed)
        if (std::abs(size.points - points) < 0.01)
            return QString::fromUtf16(size.name);
    return QLocale::c().toString(points);
}

} // namespace wordprocessor
