// How long writing and reading a .doc and a .docx take: the default
// timetable, the largest file of the corpus, and timetables of growing
// length (which should take time in proportion to their size; for .docx,
// in proportion to the size of document.xml, which the counters show).
#include "../tests/docfile/samples.h"
#include "docfile/formats.h"
#include "docfile/zip.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

fs::path corpusDir()
{
    if (const char* dir = std::getenv("LUMETRA_CORPUS_DIR")) return dir;
    return fs::path(__FILE__).parent_path() / ".." / ".." / "shared" / "corpus" / "doc";
}

void writeTimetable(benchmark::State& state)
{
    const docfile::Document doc = samples::defaultTimetable();
    for (auto _ : state) benchmark::DoNotOptimize(docfile::writeBytes(doc));
}
BENCHMARK(writeTimetable)->Unit(benchmark::kMicrosecond);

void readTimetable(benchmark::State& state)
{
    const std::vector<unsigned char> bytes = docfile::writeBytes(samples::defaultTimetable());
    for (auto _ : state) benchmark::DoNotOptimize(docfile::readBytes(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(readTimetable)->Unit(benchmark::kMicrosecond);

void readLargestCorpusFile(benchmark::State& state)
{
    fs::path largest;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(corpusDir(), ec))
        if (entry.path().extension() == ".doc" && (largest.empty() || entry.file_size() > fs::file_size(largest)))
            largest = entry.path();
    if (largest.empty()) {
        state.SkipWithError("no corpus: set LUMETRA_CORPUS_DIR");
        return;
    }
    std::ifstream in(largest, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    state.SetLabel(largest.filename().string());
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(docfile::readBytes(bytes));
        } catch (const docfile::Error&) {
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(readLargestCorpusFile)->Unit(benchmark::kMicrosecond);

void writeLongTimetable(benchmark::State& state)
{
    const docfile::Document doc = samples::longTimetable(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(docfile::writeBytes(doc));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(writeLongTimetable)->RangeMultiplier(4)->Range(16, 4096)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);

void readLongTimetable(benchmark::State& state)
{
    const std::vector<unsigned char> bytes = docfile::writeBytes(samples::longTimetable(static_cast<int>(state.range(0))));
    for (auto _ : state) benchmark::DoNotOptimize(docfile::readBytes(bytes));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(readLongTimetable)->RangeMultiplier(4)->Range(16, 4096)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);

using docfile::Format;

void writeDocxTimetable(benchmark::State& state)
{
    const docfile::Document doc = samples::defaultTimetable();
    for (auto _ : state) benchmark::DoNotOptimize(docfile::writeBytes(doc, Format::OfficeOpenXml));
}
BENCHMARK(writeDocxTimetable)->Unit(benchmark::kMicrosecond);

void readDocxTimetable(benchmark::State& state)
{
    const std::vector<unsigned char> bytes = docfile::writeBytes(samples::defaultTimetable(), Format::OfficeOpenXml);
    for (auto _ : state) benchmark::DoNotOptimize(docfile::readBytes(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(readDocxTimetable)->Unit(benchmark::kMicrosecond);

// The size of a package's document.xml, inflated.
std::size_t documentXmlSize(const std::vector<unsigned char>& package)
{
    docfile::zip::Reader zip(package.data(), package.size());
    return zip.find("word/document.xml")->size;
}

void writeLongDocxTimetable(benchmark::State& state)
{
    const docfile::Document doc = samples::longTimetable(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(docfile::writeBytes(doc, Format::OfficeOpenXml));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(writeLongDocxTimetable)->RangeMultiplier(4)->Range(16, 4096)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);

// Up to 8192 lessons: a document.xml of about 12 MB.
void readLongDocxTimetable(benchmark::State& state)
{
    const std::vector<unsigned char> bytes =
        docfile::writeBytes(samples::longTimetable(static_cast<int>(state.range(0))), Format::OfficeOpenXml);
    const std::size_t xml = documentXmlSize(bytes);
    for (auto _ : state) benchmark::DoNotOptimize(docfile::readBytes(bytes));
    state.SetComplexityN(static_cast<std::int64_t>(xml));
    state.counters["document.xml MB"] = static_cast<double>(xml) / 1e6;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * xml));
}
BENCHMARK(readLongDocxTimetable)->RangeMultiplier(4)->Range(16, 8192)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
