// The two word-processor engines side by side: starting an instance (to the
// first call answered), building the default timetable, filling its 48
// subject cells, and saving it as .doc. LibreOffice runs without windows
// here, as in the tests; run with --benchmark_filter=Builtin or
// =LibreOffice for one engine.

#include "automation/factory.h"
#include "create/builder.h"
#include "timetablework.h"
#include "../tests/support/scripteddialogue.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

bool choose(benchmark::State& state, word::Engine engine)
{
    if (!word::engineAvailable(engine)) {
        state.SkipWithError("engine not available");
        return false;
    }
    word::setPreferredEngine(engine);
    return true;
}

void Start(benchmark::State& state, word::Engine engine)
{
    if (!choose(state, engine))
        return;
    for (auto _ : state) {
        auto wd = word::createObject(QStringLiteral("word.application"));
        wd->documents()->count(); // the first call answered
        state.PauseTiming();
        wd->quit(word::DoNotSaveChanges);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

// Build, fill and save, each timed on its own in the same instance.
void Build(benchmark::State& state, word::Engine engine)
{
    if (!choose(state, engine))
        return;
    for (auto _ : state) {
        state.PauseTiming();
        auto wd = word::createObject(QStringLiteral("word.application"));
        state.ResumeTiming();
        create::Timetable timetable;
        timetable.application = wd;
        timetable.dimensions = grid::fromCounts(4, 4, 6);
        create::fillTimetable(bench::defaultTimetable(), *wd, timetable);
        QApplication::processEvents();
        state.PauseTiming();
        wd->quit(word::DoNotSaveChanges);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void Fill(benchmark::State& state, word::Engine engine)
{
    if (!choose(state, engine))
        return;
    auto timetable = create::build(bench::defaultTimetable(), {4, 4, 6});
    for (auto _ : state) {
        bench::fillAll(*timetable.table);
        QApplication::processEvents();
    }
    timetable.application->quit(word::DoNotSaveChanges);
}

void Save(benchmark::State& state, word::Engine engine)
{
    if (!choose(state, engine))
        return;
    QTemporaryDir folder;
    testsupport::ScriptedDialogue dialogue;
    auto timetable = create::build(bench::defaultTimetable(), {4, 4, 6});
    bench::fillAll(*timetable.table);
    dialogue.files.push_back(folder.filePath(QStringLiteral("课程表.doc")));
    timetable.application->activeDocument()->save(); // names the file once
    for (auto _ : state) {
        timetable.table->cell(2, 2)->range()->setText(QStringLiteral("数学"));
        timetable.application->activeDocument()->save();
        QApplication::processEvents();
    }
    timetable.application->quit(word::DoNotSaveChanges);
}

BENCHMARK_CAPTURE(Start, Builtin, word::Engine::Builtin)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Start, LibreOffice, word::Engine::LibreOffice)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(Build, Builtin, word::Engine::Builtin)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Build, LibreOffice, word::Engine::LibreOffice)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(Fill, Builtin, word::Engine::Builtin)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Fill, LibreOffice, word::Engine::LibreOffice)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(Save, Builtin, word::Engine::Builtin)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Save, LibreOffice, word::Engine::LibreOffice)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
