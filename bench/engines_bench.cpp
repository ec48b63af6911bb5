// The two word-processor engines side by side: starting an instance (to the
// first call answered), building the default timetable, filling its 48
// subject cells, and saving it as .doc. LibreOffice runs without windows
// here, as in the tests; run with --benchmark_filter=Builtin or
// =LibreOffice for one engine.
//
// BuildAndFill/LibreOffice is measured against its peer in the same run:
// BuildAndFill/PlainScript, a Python script (libreoffice_peer.py) making
// the same timetable with plain UNO calls in a LibreOffice of its own.

#include "automation/factory.h"
#include "create/builder.h"
#include "timetablework.h"
#include "../tests/support/scripteddialogue.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
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

// An instance when a LibreOffice was started ahead of need, as the program
// does while it waits for the user.
void StartAhead(benchmark::State& state)
{
    if (!choose(state, word::Engine::LibreOffice))
        return;
    qputenv("LUMETRA_LIBREOFFICE_AHEAD", "1");
    for (auto _ : state) {
        state.PauseTiming();
        word::prepareEngine();
        while (!word::engineReadyAhead())
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        state.ResumeTiming();
        auto wd = word::createObject(QStringLiteral("word.application"));
        wd->documents()->count(); // the first call answered
        state.PauseTiming();
        wd->quit(word::DoNotSaveChanges);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    qputenv("LUMETRA_LIBREOFFICE_AHEAD", "0");
}

// Build, fill and save, each timed on its own. A build (and fill) has an
// instance of its own each time, its start left out.
void buildEach(benchmark::State& state, word::Engine engine, bool fill)
{
    if (!choose(state, engine))
        return;
    for (auto _ : state) {
        state.PauseTiming();
        auto wd = word::createObject(QStringLiteral("word.application"));
        wd->documents()->count();
        state.ResumeTiming();
        create::Timetable timetable;
        timetable.application = wd;
        timetable.dimensions = grid::fromCounts(4, 4, 6);
        create::fillTimetable(bench::defaultTimetable(), *wd, timetable);
        if (fill)
            bench::fillAll(*timetable.table);
        QApplication::processEvents(); // the turn ends: what it saved up goes to Writer
        state.PauseTiming();
        wd->quit(word::DoNotSaveChanges);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void Build(benchmark::State& state, word::Engine engine)
{
    buildEach(state, engine, false);
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

void BuildAndFill(benchmark::State& state, word::Engine engine)
{
    buildEach(state, engine, true);
}

// The peer: its own runs, its median time as this benchmark's.
void PlainScript(benchmark::State& state)
{
    if (!word::engineAvailable(word::Engine::LibreOffice) || QStandardPaths::findExecutable("python3").isEmpty()) {
        state.SkipWithError("LibreOffice or Python is not available");
        return;
    }
    QProcess peer;
    peer.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral(LUMETRA_BENCH_DIR "/libreoffice_peer.py"), QString::number(state.max_iterations)});
    if (!peer.waitForFinished(300000) || peer.exitCode() != 0) {
        state.SkipWithError(("the peer failed: " + peer.readAllStandardError()).constData());
        return;
    }
    const QJsonObject times = QJsonDocument::fromJson(peer.readAllStandardOutput()).object();
    const double seconds = (times.value("build_ms").toDouble() + times.value("fill_ms").toDouble()) / 1000;
    for (auto _ : state)
        state.SetIterationTime(seconds);
    state.counters["build_ms"] = times.value("build_ms").toDouble();
    state.counters["fill_ms"] = times.value("fill_ms").toDouble();
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
BENCHMARK(StartAhead)->Name("Start/LibreOfficeAhead")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(Build, Builtin, word::Engine::Builtin)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Build, LibreOffice, word::Engine::LibreOffice)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(Fill, Builtin, word::Engine::Builtin)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Fill, LibreOffice, word::Engine::LibreOffice)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BuildAndFill, LibreOffice, word::Engine::LibreOffice)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(PlainScript)->Name("BuildAndFill/PlainScript")->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
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
