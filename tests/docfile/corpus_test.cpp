// Real files made by other programs: our reader must see in each first
// table what the corpus README says an independent reader sees, refuse
// where the README names a refusal only with a clear reason, and never crash.
#include "docfile/document.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

using namespace docfile;
namespace fs = std::filesystem;

namespace {

using Grid = std::vector<std::vector<std::string>>;  // rows of cell texts

struct Expectation {
    std::string file;
    bool refused = false;
    bool noTable = false;
    Grid table;
    Grid alternative;  // another reading the README accepts, if any
};

using testutil::corpusDir;
using testutil::cellText;
using testutil::firstTable;

std::vector<std::string> bracketed(const std::string& s)
{
    std::vector<std::string> cells;
    static const std::regex cell(R"(\[([^\]]*)\])");
    for (auto it = std::sregex_iterator(s.begin(), s.end(), cell); it != std::sregex_iterator(); ++it)
        cells.push_back((*it)[1]);
    return cells;
}

std::vector<Expectation> readme()
{
    std::ifstream in(corpusDir() / "README.md");
    std::vector<Expectation> out;
    std::string line;
    static const std::regex row(R"(^\s*- row \d+ cells=(\d+)(.*)$)");
    while (std::getline(in, line)) {
        std::smatch m;
        if (line.rfind("## ", 0) == 0) {
            out.push_back(Expectation{line.substr(3)});
        } else if (out.empty()) {
            continue;
        } else if (line.find("- refused:") != std::string::npos) {
            out.back().refused = true;
        } else if (line.find("- no table") != std::string::npos) {
            out.back().noTable = true;
        } else if (std::regex_match(line, m, row)) {
            std::vector<std::string> cells = bracketed(m[2]);
            EXPECT_EQ(cells.size(), std::stoul(m[1])) << "README line: " << line;
            out.back().table.push_back(std::move(cells));
        } else if (line.find("LibreOffice disagrees") != std::string::npos) {
            // "... it sees three rows of three cells, [11][12][13], [21][22][23], ..."
            std::stringstream rows(line.substr(line.find('[')));
            std::string part;
            while (std::getline(rows, part, ','))
                if (part.find('[') != std::string::npos) out.back().alternative.push_back(bracketed(part));
        }
    }
    return out;
}

Grid grid(const Table& t)
{
    Grid g;
    for (const Row& r : t.rows) {
        g.emplace_back();
        for (const Cell& c : r.cells) g.back().push_back(cellText(c));
    }
    return g;
}

} // namespace

TEST(Corpus, ReadmeDescribesEveryFile)
{
    const std::vector<Expectation> all = readme();
    ASSERT_FALSE(all.empty()) << "no README.md in " << corpusDir();
    std::size_t docs = 0;
    for (const auto& entry : fs::directory_iterator(corpusDir()))
        if (entry.path().extension() == ".doc") ++docs;
    EXPECT_EQ(all.size(), docs);
    for (const Expectation& e : all)
        EXPECT_TRUE(e.refused || e.noTable || !e.table.empty()) << e.file << " has no expectation we understand";
}

TEST(Corpus, FirstTablesMatchTheIndependentReader)
{
    for (const Expectation& e : readme()) {
        SCOPED_TRACE(e.file);
        if (e.refused) continue;
        Document doc;
        ASSERT_NO_THROW(doc = readFile((corpusDir() / e.file).string()));
        const Table* table = firstTable(doc);
        if (e.noTable) {
            EXPECT_EQ(table, nullptr);
            continue;
        }
        ASSERT_NE(table, nullptr);
        const Grid ours = grid(*table);
        if (!e.alternative.empty() && ours == e.alternative) continue;
        EXPECT_EQ(ours, e.table);
    }
}

TEST(Corpus, RefusedFilesGetAClearReasonOrReadWhatIsSound)
{
    for (const Expectation& e : readme()) {
        if (!e.refused) continue;
        SCOPED_TRACE(e.file);
        const auto start = std::chrono::steady_clock::now();
        try {
            ReadReport report;
            const Document doc = readFile((corpusDir() / e.file).string(), &report);
            EXPECT_FALSE(doc.blocks.empty());
        } catch (const Error& e) {
            const std::string why = e.what();
            EXPECT_FALSE(why.empty());
            EXPECT_EQ(why.find('\n'), std::string::npos) << "one reason, one line: " << why;
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
}

TEST(Corpus, ReportsWhatTheModelCannotHold)
{
    ReadReport nested;
    readFile((corpusDir() / "innertable.doc").string(), &nested);
    EXPECT_TRUE(nested.lossy());
    EXPECT_NE(std::find(nested.dropped.begin(), nested.dropped.end(), "嵌套表格（已展开为所在单元格的文字）"), nested.dropped.end());

    ReadReport plain;
    readFile((corpusDir() / "simple-table2.doc").string(), &plain);
    EXPECT_FALSE(plain.lossy()) << plain.dropped.front();
}

TEST(Corpus, ReadsSlantUnderlineColourAndMergesDown)
{
    // A damaged sample whose text names its own formatting ("Normal +
    // Courier New, 12pt, Italic", colour names in their colours); and the
    // file of merged cells, which marks two cells of its first column as
    // merged down, each starting a merge of its own.
    ReadReport report;
    const Document doc = readFile((corpusDir() / "Fuzzed.doc").string(), &report);
    for (const char* what : {"斜体", "下划线", "文字颜色"})
        EXPECT_EQ(std::find(report.dropped.begin(), report.dropped.end(), what), report.dropped.end()) << what;
    std::map<std::string, docfile::Run> runs;
    for (const Block& b : doc.blocks)
        if (const auto* p = std::get_if<Paragraph>(&b))
            for (const docfile::Run& r : p->runs) runs.emplace(r.text, r);
    auto look = [&](const std::string& prefix) {
        const auto it = std::find_if(runs.begin(), runs.end(), [&](const auto& r) { return r.first.rfind(prefix, 0) == 0; });
        return it == runs.end() ? docfile::Run{"(missing " + prefix + ")"} : it->second;
    };
    const docfile::Run italic = look("Normal + Courier New, 12pt, Italic"), underlined = look("Normal + Courier New, 12pt, Underlined");
    EXPECT_TRUE(italic.italic && !italic.underline) << italic.text;
    EXPECT_TRUE(underlined.underline && !underlined.italic) << underlined.text;
    EXPECT_TRUE(look("Normal + Courier New, 12pt, Italic + Und").underline);
    EXPECT_EQ(look("Red").colour, 0xFF0000u);
    EXPECT_EQ(look("Blue").colour, 0x0000FFu);
    EXPECT_EQ(look("Orange").colour, 0xFF6600u);
    EXPECT_EQ(italic.colour, kAutomaticColour);

    ReadReport merges;
    const Document merged = readFile((corpusDir() / "table-merges.doc").string(), &merges);
    EXPECT_FALSE(merges.lossy()) << merges.dropped.front();
    const Table* table = firstTable(merged);
    ASSERT_NE(table, nullptr);
    ASSERT_GE(table->rows.size(), 3u);
    EXPECT_EQ(table->rows[1].cells.at(0).verticalMerge, 1);
    EXPECT_EQ(table->rows[2].cells.at(0).verticalMerge, 1);
    EXPECT_EQ(table->rows[1].cells.at(1).verticalMerge, 0);
}
