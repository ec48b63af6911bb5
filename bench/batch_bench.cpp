// A school's timetables at once: 60 classes of the default shape, every
// cell filled, made on the built-in word processor without windows. The
// goal is under 2 s for the 60; the resident memory after each round shows
// whether it grows with the number of classes made.

#include "batch/maker.h"
#include "create/grid.h"
#include "platform/fontsetup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

batch::Plan sixtyClasses(const QString& folder)
{
    QString table = QStringLiteral("班级,星期,节次,科目\n");
    const QStringList subjects{"语文", "数学", "英语", "物理", "化学", "生物", "历史", "地理"};
    for (int c = 1; c <= 60; ++c)
        for (int day = 1; day <= 6; ++day)
            for (int period = 1; period <= 8; ++period)
                table += QStringLiteral("高%1（%2）班,%3,%4,%5\n").arg(c / 20 + 1).arg(c % 20 + 1).arg(day).arg(period).arg(subjects[(c + day + period) % 8]);
    batch::Plan plan = batch::makePlan(batch::parseCsv(table), {});
    batch::placeFiles(plan, folder, batch::FileFormat::Word97);
    return plan;
}

void SixtyClasses(benchmark::State& state)
{
    QTemporaryDir folder;
    const batch::Plan plan = sixtyClasses(folder.path());
    batch::Settings settings;
    settings.request = {"4", "4", "6", QStringLiteral("课程表"), true, grid::defaultTimeLabels()};
    for (auto _ : state) {
        const batch::Outcome outcome = batch::makeAll(settings, plan, true);
        if (outcome.made.size() != 60)
            state.SkipWithError("not all 60 were made");
    }
    state.counters["rss_kB"] = double(residentKilobytes());
}
BENCHMARK(SixtyClasses)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::useProgramFontConfig();
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    // Memory over rounds: flat when nothing is kept per class.
    {
        QTemporaryDir folder;
        const batch::Plan plan = sixtyClasses(folder.path());
        batch::Settings settings;
        settings.request = {"4", "4", "6", QStringLiteral("课程表"), true, grid::defaultTimeLabels()};
        for (int round = 1; round <= 6; ++round) {
            batch::makeAll(settings, plan, true);
            std::printf("after %d classes: RSS %ld kB\n", round * 60, residentKilobytes());
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
