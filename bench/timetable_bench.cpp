// Building the default timetable in the built-in word processor, and
// filling all 48 subject cells of it through the automation interface. The
// engine lays the document out once at the end of each turn of the event
// loop, so every case runs the events the turn ends with, inside the timing.

#include "automation/builtin/builtinapplication.h"
#include "wordprocessor/docconvert.h"
#include "wordprocessor/printing.h"
#include "automation/factory.h"
#include "create/builder.h"
#include "timetablework.h"
#include "docfile/document.h"
#include "platform/fontsetup.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BuildDefaultTimetable(benchmark::State& state)
{
    for (auto _ : state) {
        auto timetable = create::build(bench::defaultTimetable(), {4, 4, 6});
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
    auto timetable = create::build(bench::defaultTimetable(), {4, 4, 6});
    timetable.application->setVisible(true);
    QApplication::processEvents();
    for (auto _ : state) {
        bench::fillAll(*timetable.table);
        QApplication::processEvents();
    }
    timetable.application->quit(word::DoNotSaveChanges);
}
BENCHMARK(FillTimetable)->Unit(benchmark::kMillisecond);

// One cell a turn, as course entry writes them: each is laid out at once.
void WriteOneCellATurn(benchmark::State& state)
{
    auto timetable = create::build(bench::defaultTimetable(), {4, 4, 6});
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

// Opening, saving and exporting a filled 10 × 7 timetable.
class FilledTimetable {
public:
    FilledTimetable()
    {
        auto timetable = create::build(bench::defaultTimetable(), {4, 4, 6});
        bench::fillAll(*timetable.table);
        QApplication::processEvents();
        path = folder.filePath("timetable.doc");
        auto builtin = std::dynamic_pointer_cast<word::builtin::BuiltinApplication>(timetable.application);
        docfile::writeFile(wordprocessor::toModel(*builtin->state()->active), QFile::encodeName(path).toStdString());
        timetable.application->quit(word::DoNotSaveChanges);
    }
    QTemporaryDir folder;
    QString path;
};

void OpenTimetable(benchmark::State& state)
{
    FilledTimetable filled;
    for (auto _ : state) {
        auto app = word::createObject("word.application");
        word::OpenArguments arguments;
        arguments.filename = filled.path;
        app->documents()->open(arguments);
        QApplication::processEvents();
        state.PauseTiming();
        app->quit(word::DoNotSaveChanges);
        state.ResumeTiming();
    }
}
BENCHMARK(OpenTimetable)->Unit(benchmark::kMillisecond);

void SaveAndExportTimetable(benchmark::State& state, bool pdf)
{
    FilledTimetable filled;
    auto app = word::createObject("word.application");
    word::OpenArguments arguments;
    arguments.filename = filled.path;
    app->documents()->open(arguments);
    const auto document = std::dynamic_pointer_cast<word::builtin::BuiltinApplication>(app)->state()->active;
    const QString target = filled.folder.filePath(pdf ? "export.pdf" : "saved.doc");
    for (auto _ : state) {
        if (pdf) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(target);
            wordprocessor::printDocument(*document, printer, 1);
        } else {
            docfile::writeFile(wordprocessor::toModel(*document), QFile::encodeName(target).toStdString());
        }
    }
    app->quit(word::DoNotSaveChanges);
}
BENCHMARK_CAPTURE(SaveAndExportTimetable, SaveDoc, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SaveAndExportTimetable, ExportPdf, true)->Unit(benchmark::kMillisecond);

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
