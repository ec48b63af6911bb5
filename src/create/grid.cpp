#include "create/grid.h"

namespace grid {

const QStringList& dayNames()
{
    static const QStringList names{QStringLiteral("星期一"), QStringLiteral("星期二"), QStringLiteral("星期三"),
                                   QStringLiteral("星期四"), QStringLiteral("星期五"), QStringLiteral("星期六"),
                                   QStringLiteral("星期日")};
    return names;
}

const QStringList& periodNames()
{
    static const QStringList names{QStringLiteral("第一节"), QStringLiteral("第二节"), QStringLiteral("第三节"),
                                   QStringLiteral("第四节"), QStringLiteral("第五节"), QStringLiteral("第六节"),
                                   QStringLiteral("第七节"), QStringLiteral("第八节"), QStringLiteral("第九节"),
                                   QStringLiteral("第十节")};
    return names;
}

const QStringList& defaultTimeLabels()
{
    static const QStringList labels{QStringLiteral("(07:50-08:35)"), QStringLiteral("(08:45-09:30)"),
                                    QStringLiteral("(10:00-10:45)"), QStringLiteral("(10:55-11:40)"),
                                    QStringLiteral("(14:00-14:45)"), QStringLiteral("(14:55-15:40)"),
                                    QStringLiteral("(15:50-16:35)"), QStringLiteral("(16:50-17:50)")};
    return labels;
}

QString lunchText()
{
    return QStringLiteral("午\u3000休");
}

namespace {

// A count in Chinese numerals, as used in names: 1 一, 10 十, 11 十一, 20 二十,
// 105 一百零五. Counts past 9999 are written in digits.
QString chineseNumber(int n)
{
    static const QString digits = QStringLiteral("零一二三四五六七八九");
    if (n < 0 || n > 9999)
        return QString::number(n);
    if (n < 10)
        return digits.at(n);
    if (n < 20)
        return QStringLiteral("十") + (n % 10 ? QString(digits.at(n % 10)) : QString());
    static const QString units[] = {QString(), QStringLiteral("十"), QStringLiteral("百"), QStringLiteral("千")};
    QString text;
    bool zero = false;
    for (int place = 3; place >= 0; --place) {
        int power = 1;
        for (int i = 0; i < place; ++i)
            power *= 10;
        const int digit = n / power % 10;
        if (digit == 0) {
            zero = !text.isEmpty();
            continue;
        }
        if (zero)
            text += digits.at(0);
        zero = false;
        text += digits.at(digit) + units[place];
    }
    return text;
}

} // namespace

QString dayName(int day)
{
    if (day >= 0 && day < dayNames().size())
        return dayNames().at(day);
    return QStringLiteral("第%1天").arg(chineseNumber(day + 1));
}

QString periodName(int period)
{
    if (period >= 0 && period < periodNames().size())
        return periodNames().at(period);
    return QStringLiteral("第%1节").arg(chineseNumber(period + 1));
}

Dimensions fromCounts(int morningPeriods, int afternoonPeriods, int days)
{
    Dimensions d;
    d.morning = morningPeriods + 1;
    d.hang = d.morning + afternoonPeriods + 1;
    d.lie = days + 1;
    return d;
}

QString periodLabel(int period, bool withTime, const QStringList& timeLabels)
{
    QString label = periodNames().value(period);
    if (withTime)
        label += timeLabels.value(period);
    return label;
}

std::optional<QString> checkLimits(int morningPeriods, int afternoonPeriods, int days, bool withTime,
                                   int labelCount)
{
    if (days < 1 || days > kMaxDays)
        return QStringLiteral("每周上课的天数必须在 1 到 %1 之间。").arg(kMaxDays);
    if (morningPeriods < 0 || afternoonPeriods < 0)
        return QStringLiteral("上午和下午的节数都不能是负数。");
    const int periods = morningPeriods + afternoonPeriods;
    if (periods < 1)
        return QStringLiteral("每天至少要上 1 节课。");
    if (periods > kMaxPeriods)
        return QStringLiteral("每天上午和下午合起来最多只能上 %1 节课。").arg(kMaxPeriods);
    if (withTime && periods > labelCount)
        return QStringLiteral("时间表只有 %1 节课的时间，每天上午和下午合起来最多只能上 %1 节课。"
                              "请先用“设置时间表”计算更多节课的时间，或者不加入时间表。")
            .arg(labelCount);
    return std::nullopt;
}

int morningFromTable(int rows, const std::function<int(int row)>& cellsInRow)
{
    int morning = 1;
    while (morning < rows && cellsInRow(morning + 1) != 1)
        ++morning;
    return morning;
}

} // namespace grid
