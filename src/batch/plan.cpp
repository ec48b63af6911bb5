#include "batch/plan.h"

#include "create/grid.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace batch {

namespace {

const QString kDigits = QStringLiteral("一二三四五六七八九");

// 一 … 九十九 in Chinese numerals, or 1 … 99 in digits.
std::optional<int> readNumber(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (ok)
        return value >= 1 && value <= 99 ? std::optional<int>(value) : std::nullopt;
    static const QRegularExpression chinese(QStringLiteral("^([一二三四五六七八九]?)(十?)([一二三四五六七八九]?)$"));
    const auto match = chinese.match(text);
    if (!match.hasMatch() || text.isEmpty())
        return std::nullopt;
    const QString tens = match.captured(1), ten = match.captured(2), units = match.captured(3);
    if (ten.isEmpty())
        return tens.isEmpty() || !units.isEmpty() ? std::nullopt : std::optional<int>(kDigits.indexOf(tens) + 1);
    const int t = tens.isEmpty() ? 1 : int(kDigits.indexOf(tens)) + 1;
    const int u = units.isEmpty() ? 0 : int(kDigits.indexOf(units)) + 1;
    return t * 10 + u;
}

// Full-width digits and spaces as spreadsheets may hold them.
QString normal(const QString& text)
{
    return text.normalized(QString::NormalizationForm_KC).simplified().remove(u' ');
}

} // namespace

QString suffixOf(FileFormat format)
{
    return QLatin1String(docfile::extensionOf(format));
}

std::optional<int> readDay(const QString& text)
{
    QString day = normal(text);
    for (const QString& prefix : {QStringLiteral("星期"), QStringLiteral("周"), QStringLiteral("礼拜")})
        if (day.startsWith(prefix) && day.size() > prefix.size()) {
            day = day.mid(prefix.size());
            break;
        }
    if (day == u"日" || day == u"天")
        return 6;
    static const QStringList digits{"1", "2", "3", "4", "5", "6", "7"};
    if (const auto at = digits.indexOf(day); at >= 0)
        return int(at);
    if (day.size() == 1 && kDigits.indexOf(day) >= 0 && kDigits.indexOf(day) < 6)
        return int(kDigits.indexOf(day));
    return std::nullopt;
}

std::optional<int> readPeriod(const QString& text)
{
    QString period = normal(text);
    if (period.startsWith(u'第'))
        period.remove(0, 1);
    if (period.endsWith(u'节'))
        period.chop(1);
    const auto number = readNumber(period);
    return number ? std::optional<int>(*number - 1) : std::nullopt;
}

std::optional<QString> fileNameProblem(const QString& name)
{
    static const QRegularExpression forbidden(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1F]"));
    if (name.contains(forbidden))
        return QStringLiteral("含有文件名不能用的字符（\\ / : * ? \" < > | 或控制字符）");
    if (name == QLatin1String(".") || name == QLatin1String("..") || name.startsWith(u'.'))
        return QStringLiteral("不能以“.”开头");
    if (name.endsWith(u'.') || name.endsWith(u' '))
        return QStringLiteral("不能以“.”或空格结尾");
    static const QRegularExpression reserved(QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])$"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (reserved.match(name).hasMatch())
        return QStringLiteral("是 Windows 保留的设备名");
    if (name.toUtf8().size() > 200)
        return QStringLiteral("太长");
    return std::nullopt;
}

QString classTitle(const QString& className, const QString& title)
{
    return title.trimmed().isEmpty() ? className : className + u' ' + title.trimmed();
}

std::pair<int, int> cellOf(int day, int period, const Shape& shape)
{
    // Below the header; the lunch row comes after the morning's periods.
    const int row = period < shape.morning ? period + 2 : period + 3;
    return {row, day + 2};
}

Plan makePlan(const std::vector<CsvRecord>& records, const Shape& shape)
{
    Plan plan;
    if (records.empty()) {
        plan.problems.push_back({0, QStringLiteral("文件是空的，没有表头行。")});
        plan.unusable = true;
        return plan;
    }
    // The columns, by their header in any order; others are not read.
    const CsvRecord& header = records.front();
    const QStringList names{QStringLiteral("班级"), QStringLiteral("星期"), QStringLiteral("节次"), QStringLiteral("科目")};
    int column[4];
    for (int i = 0; i < 4; ++i) {
        column[i] = -1;
        for (int c = 0; c < header.fields.size(); ++c)
            if (normal(header.fields[c]) == names[i]) {
                column[i] = c;
                break;
            }
        if (column[i] < 0)
            plan.problems.push_back({header.row, QStringLiteral("第 %1 行（表头）：缺少“%2”列。").arg(header.row).arg(names[i])});
    }
    if (!plan.problems.empty()) {
        plan.unusable = true;
        return plan;
    }

    const int periods = shape.morning + shape.afternoon;
    std::map<QString, size_t> byName;
    std::vector<ClassPlan> classes;
    std::map<QString, bool> wrong;
    std::map<std::pair<QString, std::pair<int, int>>, int> firstRowOfCell;
    for (size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        auto field = [&](int which) { return record.fields.value(column[which]).trimmed(); };
        const QString name = field(0), dayText = field(1), periodText = field(2), subject = field(3);
        auto problem = [&](const QString& text) {
            plan.problems.push_back({record.row, QStringLiteral("第 %1 行：%2").arg(record.row).arg(text)});
            if (!name.isEmpty())
                wrong[name] = true;
        };
        if (name.isEmpty()) {
            problem(QStringLiteral("班级为空。"));
            continue;
        }
        if (!byName.count(name)) {
            byName[name] = classes.size();
            classes.push_back({name, record.row, {}, {}, false});
            if (const auto why = fileNameProblem(name))
                problem(QStringLiteral("班级名称“%1”不能用作文件名：%2。").arg(name, *why));
        }
        const auto day = readDay(dayText);
        const auto period = readPeriod(periodText);
        if (!day)
            problem(QStringLiteral("无法识别星期“%1”。").arg(dayText));
        if (!period)
            problem(QStringLiteral("无法识别节次“%1”。").arg(periodText));
        if (!day || !period)
            continue;
        if (*day >= shape.days) {
            problem(QStringLiteral("%1不在每周 %2 天课之内。").arg(grid::dayName(*day)).arg(shape.days));
            continue;
        }
        if (*period >= periods) {
            problem(QStringLiteral("%1超出了每天 %2 节课（上午 %3 节，下午 %4 节）。")
                        .arg(grid::periodName(*period))
                        .arg(periods)
                        .arg(shape.morning)
                        .arg(shape.afternoon));
            continue;
        }
        if (subject.isEmpty())
            continue; // an empty cell, as the table leaves it
        ClassPlan& plan_ = classes[byName[name]];
        const auto cell = std::make_pair(*day, *period);
        const auto already = plan_.subjects.find(cell);
        if (already != plan_.subjects.end() && already->second != subject) {
            problem(QStringLiteral("%1%2%3已经排了“%4”（第 %5 行），不能再排“%6”。")
                        .arg(name, grid::dayName(*day), grid::periodName(*period), already->second)
                        .arg(firstRowOfCell[{name, cell}])
                        .arg(subject));
            continue;
        }
        plan_.subjects[cell] = subject;
        firstRowOfCell.emplace(std::make_pair(name, cell), record.row);
    }
    if (records.size() < 2) {
        plan.problems.push_back({0, QStringLiteral("表中除表头外没有任何一行。")});
        plan.unusable = true;
    }
    for (ClassPlan& one : classes) {
        if (wrong.count(one.name))
            plan.leftOut << one.name;
        else
            plan.classes.push_back(std::move(one));
    }
    std::stable_sort(plan.problems.begin(), plan.problems.end(),
                     [](const Problem& a, const Problem& b) { return a.row < b.row; });
    return plan;
}

void placeFiles(Plan& plan, const QString& folder, FileFormat format)
{
    const QDir dir(folder);
    for (ClassPlan& one : plan.classes) {
        one.path = dir.filePath(one.name + suffixOf(format));
        one.exists = QFileInfo::exists(one.path);
    }
}

QString problemList(const Plan& plan, int limit)
{
    QStringList lines;
    for (const Problem& problem : plan.problems) {
        if (int(lines.size()) == limit) {
            lines << QStringLiteral("……另有 %1 处问题。").arg(int(plan.problems.size()) - limit);
            break;
        }
        lines << problem.message;
    }
    return lines.join(u'\n');
}

QString problemQuestion(const Plan& plan)
{
    const QString leftOut = plan.leftOut.isEmpty()
                                ? QString()
                                : QStringLiteral("这些班级不会生成：%1。\n\n").arg(plan.leftOut.join(QStringLiteral("、")));
    return QStringLiteral("课程总表中有下面的问题：\n\n%1\n\n%2要生成其余 %3 个完整的班级吗？")
        .arg(problemList(plan), leftOut)
        .arg(plan.classes.size());
}

} // namespace batch
