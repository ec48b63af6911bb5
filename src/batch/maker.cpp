#include "batch/maker.h"

#include "automation/factory.h"

#include <QDir>

namespace batch {

std::variant<Shape, QString> readShape(const create::BuildRequest& request)
{
    const auto counts = create::readCounts(request);
    if (const QString* problem = std::get_if<QString>(&counts))
        return *problem;
    const auto& c = std::get<create::Counts>(counts);
    return Shape{c.morning, c.afternoon, c.days};
}

void makeTimetable(const Settings& settings, const ClassPlan& plan, const QString& path)
{
    create::BuildRequest request = settings.request;
    request.title = classTitle(plan.name, settings.request.title);
    create::Timetable timetable;
    timetable.dimensions = grid::fromCounts(settings.shape.morning, settings.shape.afternoon, settings.shape.days);
    timetable.application = word::createWindowless();
    word::Application& wd = *timetable.application;
    try {
        create::fillTimetable(request, wd, timetable);
        for (const auto& [cell, subject] : plan.subjects) {
            const auto [row, column] = cellOf(cell.first, cell.second, settings.shape);
            timetable.table->cell(row, column)->range()->setText(subject);
        }
        wd.activeDocument()->saveAs(path);
    } catch (const word::AutomationError&) {
        try {
            wd.quit(word::DoNotSaveChanges);
        } catch (const word::AutomationError&) {
        }
        throw; // the first error is the one to tell
    }
    wd.quit(word::DoNotSaveChanges);
}

Outcome makeAll(const Settings& settings, const Plan& plan, bool overwrite,
                const std::function<bool(int done, int total)>& progress)
{
    Outcome outcome;
    const int total = int(plan.classes.size());
    for (int i = 0; i < total; ++i) {
        if (progress && !progress(i, total)) {
            outcome.cancelled = true;
            return outcome;
        }
        const ClassPlan& one = plan.classes[size_t(i)];
        if (one.exists && !overwrite) {
            outcome.skipped << one.path;
            continue;
        }
        try {
            makeTimetable(settings, one, one.path);
        } catch (const word::AutomationError& error) {
            outcome.failure = QStringLiteral("“%1”的课程表没有生成：%2").arg(one.name, error.message());
            return outcome;
        }
        outcome.made << one.path;
    }
    if (progress)
        progress(total, total);
    return outcome;
}

QString outcomeMessage(const Outcome& outcome, const QString& folder)
{
    QStringList lines;
    lines << QStringLiteral("已在“%1”中生成 %2 个课程表。").arg(QDir::toNativeSeparators(folder)).arg(outcome.made.size());
    if (!outcome.skipped.isEmpty())
        lines << QStringLiteral("跳过了 %1 个已有的文件。").arg(outcome.skipped.size());
    if (outcome.cancelled)
        lines << QStringLiteral("生成在中途取消了；已经生成的文件是完整的。");
    if (!outcome.failure.isEmpty())
        lines << outcome.failure << QStringLiteral("其余的班级没有生成。");
    return lines.join(u'\n');
}

} // namespace batch
