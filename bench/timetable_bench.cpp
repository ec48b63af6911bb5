// Building the default timetable in the built-in word processor, and
// filling all 48 subject cells of it through the automation interface.

#include "create/builder.h"
#include "entry/entrycursor.h"
#include "platform/fontsetup.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

create::BuildRequest defaults()
{
    return {"4", "4", "6", QStringLiteral("课程表"), true, grid::defaultTimeLabels()};
}

void BuildDefaultTimetable(benchmark::State& state)
{
    for (auto _ : state) {
        auto timetable = create::build(defaults(), {4, 4, 6});
        state.PauseTiming();
        timetable.application->quit(word::DoNotSaveChanges);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BuildDefaultTimetable)->Unit(benchmark::kMillisecond);

void FillTimetable(benchmark::State& state)
{
    auto timetable = create::build(defaults(), {4, 4, 6});
    for (auto _ : state) {
        entry::EntryCursor cursor(10, 7, 4);
        while (cursor.nextEnabled()) {
            const auto cell = cursor.cellToWrite(true);
            timetable.table->cell(cell->row, cell->column)->range()->setText(QStringLiteral("语文"));
            cursor.nextPeriod();
        }
    }
    timetable.application->quit(word::DoNotSaveChanges);
}
BENCHMARK(FillTimetable)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    platform::useProgramFontConfig();
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
