// Building the default timetable in the built-in word processor, and
// filling all 48 subject cells of it through the automation interface. The
// engine lays the document out once at the end of each turn of the event
// loop, so every case runs the events the turn ends with, inside the timing.

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
        QApplication::processEvents();
        state.PauseTiming();
        timetable.application->quit(word::DoNotSaveChanges);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BuildDefaultTimetable)->Unit(benchmark::kMillisecond);

// All 48 cells in one turn, as a script would fill them.
void FillTimetable(benchmark::State& state)
{
    auto timetable = create::build(defaults(), {4, 4, 6});
    timetable.application->setVisible(true);
    QApplication::processEvents();
    for (auto _ : state) {
        entry::EntryCursor cursor(10, 7, 4);
        while (cursor.nextEnabled()) {
            const auto cell = cursor.cellToWrite(true);
            timetable.table->cell(cell->row, cell->column)->range()->setText(QStringLiteral("语文"));
            cursor.nextPeriod();
        }
        QApplication::processEvents();
    }
    timetable.application->quit(word::DoNotSaveChanges);
}
BENCHMARK(FillTimetable)->Unit(benchmark::kMillisecond);

// One cell a turn, as course entry writes them: each is laid out at once.
void WriteOneCellATurn(benchmark::State& state)
{
    auto timetable = create::build(defaults(), {4, 4, 6});
    timetable.application->setVisible(true);
    QApplication::processEvents();
    const auto cell = timetable.table->cell(2, 2)->range();
    for (auto _ : state) {
        cell->setText(QStringLiteral("语文"));
        QApplication::processEvents();
    }
    timetable.application->quit(word::DoNotSaveChanges);
}
BENCHMARK(WriteOneCellATurn)->Unit(benchmark::kMicrosecond);

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
