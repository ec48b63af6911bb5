// Reading a subject file of 30,000 subjects: checking it, reading it as it
// stands, reading it with sorting on, and the worst case for sorting, where
// keys repeat and the exchange sort has to be carried out step by step (n²).

#include "subjects/subjectfile.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kItems = 30000;

// A GBK file with kItems subjects "k<number>-课程<number>", the keys in a
// scrambled order so that sorting has work to do.
QString makeFile(const QTemporaryDir& dir, bool sort, int distinctKeys = kItems)
{
    QString text = QStringLiteral("默认课程\r\n[info]\r\nsort=%1\r\n[kemu]\r\n").arg(sort ? 1 : 0);
    for (int i = 0; i < kItems; ++i) {
        const int n = int((i * 7919LL) % kItems);
        text += QStringLiteral("k%1-课程%2\r\n").arg(n % distinctKeys).arg(n);
    }
    const QString path = dir.filePath(sort ? QStringLiteral("sorted.list") : QStringLiteral("plain.list"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    QStringEncoder gbk("GB18030");
    file.write(gbk.encode(text));
    return path;
}

void readSubjects(benchmark::State& state, bool sort, int distinctKeys = kItems)
{
    QTemporaryDir dir;
    const QString path = makeFile(dir, sort, distinctKeys);
    if (path.isEmpty()) {
        state.SkipWithError("cannot write the test file");
        return;
    }
    for (auto _ : state) {
        subjects::SubjectList list = subjects::readFile(path);
        benchmark::DoNotOptimize(list);
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

void BM_ReadSubjectFile(benchmark::State& state) { readSubjects(state, false); }
void BM_ReadSubjectFileSorted(benchmark::State& state) { readSubjects(state, true); }
void BM_ReadSubjectFileSortedRepeatedKeys(benchmark::State& state) { readSubjects(state, true, 1000); }

void BM_CheckSubjectFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = makeFile(dir, false);
    for (auto _ : state)
        benchmark::DoNotOptimize(subjects::checkFile(path));
    state.SetItemsProcessed(state.iterations() * kItems);
}

} // namespace

BENCHMARK(BM_CheckSubjectFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSubjectFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSubjectFileSorted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSubjectFileSortedRepeatedKeys)->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK_MAIN();
