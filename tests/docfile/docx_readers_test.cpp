// Other programs read the .docx files we write: LibreOffice, pandoc and
// python-docx must each find the text, the tables with their spans and
// widths, the Chinese fonts and the page; LibreOffice must lay a timetable
// out line for line as it lays out the same timetable's .doc. And our
// reader must see in .docx files LibreOffice made what LibreOffice sees.
#include "docfile/formats.h"
#include "docfile/tablegrid.h"
#include "odf.h"
#include "samples.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

using namespace docfile;
using namespace odf;
namespace fs = std::filesystem;
using testutil::readText;
using testutil::cellText;
using testutil::firstTable;
using testutil::paragraphText;
using testutil::run;

namespace {

using Grid = std::vector<std::vector<std::string>>;

struct Sample {
    std::string name;
    Document doc;
};

std::vector<Sample> samplesToCheck()
{
    return {{"timetable", samples::defaultTimetable()},     {"formatted", samples::formattedTimetable()},
            {"mixed", samples::mixedText()},                {"landscape", samples::landscapePage()},
            {"tenbyseven", samples::tenPeriodsSevenDays()}, {"mergedends", samples::mergedFirstAndLastRows()}};
}

fs::path dataDir() { return fs::path(testutil::env("LUMETRA_DOCFILE_DATA")) / "docx"; }

// The cells LibreOffice shows: a cell covered by a merge from above is not one.
Grid shownCells(const Table& t)
{
    Grid g;
    const TableGrid grid = tableGrid(t, 0);
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
        g.emplace_back();
        for (const GridCell& c : grid.rows[r])
            if (!c.covered) g.back().push_back(cellText(*c.cell));
    }
    return g;
}

bool converted(const fs::path& dir, const std::vector<fs::path>& files, const char* format, const fs::path& out)
{
    std::string list;
    for (const fs::path& f : files) list += " '" + f.string() + "'";
    const std::string command = "HOME='" + (dir / "home").string() + "' timeout 300 soffice -env:UserInstallation=file://"
        + (dir / "profile").string() + " --headless --convert-to " + format + " --outdir '" + out.string() + "'" + list + " 2>&1";
    // A first start with a new profile now and then ends without converting.
    for (int attempt = 0; attempt < 2; ++attempt) {
        run(command);
        if (std::all_of(files.begin(), files.end(), [&](const fs::path& f) {
                return fs::exists(out / (f.stem().string() + "." + std::string(format).substr(0, std::string(format).find(':'))));
            }))
            return true;
    }
    return false;
}

// LibreOffice's body with headings as paragraphs, and pictures (their
// frames, with the image data inside) and comments left out.
std::string paragraphsOnly(std::string body)
{
    for (const auto& [open, close] : {std::pair<std::string, std::string>{"<draw:frame", "</draw:frame>"}, {"<office:annotation ", "</office:annotation>"}})
        for (std::size_t at = body.find(open); at != std::string::npos; at = body.find(open, at)) {
            const std::size_t end = body.find(close, at);
            if (end == std::string::npos) break;
            body.erase(at, end + close.size() - at);
        }
    body = std::regex_replace(body, std::regex("<text:h([ >])"), "<text:p$1");
    return std::regex_replace(body, std::regex("</text:h>"), "</text:p>");
}

class DocxReaders : public ::testing::Test {
protected:
    static fs::path dir;
    static bool convertedAll;

    static void SetUpTestSuite()
    {
        char pattern[] = "/tmp/docfile-docx-readers-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        fs::create_directories(dir / "home");
        std::vector<fs::path> files;
        for (const Sample& s : samplesToCheck()) {
            writeFile(s.doc, (dir / (s.name + ".docx")).string(), Format::OfficeOpenXml);
            files.push_back(dir / (s.name + ".docx"));
        }
        for (const auto& entry : fs::directory_iterator(dataDir() / "libreoffice")) files.push_back(entry.path());
        convertedAll = converted(dir, files, "fodt", dir / "lo");
    }

    static void TearDownTestSuite()
    {
        if (!std::getenv("LUMETRA_KEEP_TEST_FILES")) fs::remove_all(dir);
    }

    static std::string fodt(const std::string& name) { return readText(dir / "lo" / (name + ".fodt")); }
};
fs::path DocxReaders::dir;
bool DocxReaders::convertedAll = false;

} // namespace

TEST_F(DocxReaders, LibreOfficeSeesTextTablesSpansWidthsFontsAndPage)
{
    ASSERT_TRUE(convertedAll) << "LibreOffice did not convert every file";
    for (const Sample& s : samplesToCheck()) {
        SCOPED_TRACE(s.name);
        const std::string xml = fodt(s.name);
        const std::string body = xml.substr(xml.find("<office:text"));
        EXPECT_EQ(odfParagraphs(body).at(0).second, paragraphText(std::get<Paragraph>(s.doc.blocks.at(0))));

        const Table& ours = *firstTable(s.doc);
        const std::string table = elements(body, "<table:table ", "</table:table>").at(0);
        Grid seen;
        std::vector<std::pair<std::string, std::string>> spans;  // columns, rows spanned, where more than one
        for (const std::string& row : elements(table, "<table:table-row", "</table:table-row>")) {
            seen.emplace_back();
            for (const std::string& cell : elements(row, "<table:table-cell", "</table:table-cell>")) {
                seen.back().push_back(odfCellText(cell));
                const std::string open = cell.substr(0, cell.find('>'));
                const std::string columns = attribute(open, "table:number-columns-spanned"), rows = attribute(open, "table:number-rows-spanned");
                if ((!columns.empty() && columns != "1") || (!rows.empty() && rows != "1"))
                    spans.emplace_back(columns.empty() ? "1" : columns, rows.empty() ? "1" : rows);
            }
        }
        EXPECT_EQ(seen, shownCells(ours));
        // The merges the model has: across (rows of one cell) and down.
        const TableGrid grid = tableGrid(ours, samples::textWidth(s.doc.section));
        std::vector<std::pair<std::string, std::string>> expected;
        for (const auto& row : grid.rows)
            for (const GridCell& c : row)
                if (!c.covered && (c.columns > 1 || c.rows > 1)) expected.emplace_back(std::to_string(c.columns), std::to_string(c.rows));
        EXPECT_EQ(spans, expected);

        // Column widths as the grid gives them.
        std::map<std::string, std::string> styles;
        for (const std::string& style : elements(xml, "<style:style ", "</style:style>")) styles[attribute(style, "style:name")] = style;
        const std::vector<std::string> columns = elements(table, "<table:table-column ", ">");
        std::vector<double> widths;
        for (const std::string& c : columns) {
            const int repeat = std::max(1, std::atoi(attribute(c, "table:number-columns-repeated").c_str()));
            for (int k = 0; k < repeat; ++k) widths.push_back(twips(attribute(styles[attribute(c, "table:style-name")], "style:column-width")));
        }
        ASSERT_EQ(widths.size(), grid.columnWidths.size());
        for (std::size_t i = 0; i < widths.size(); ++i) EXPECT_NEAR(widths[i], grid.columnWidths[i], 3) << "column " << i;

        // The page, and the Chinese fonts under their Western names too.
        const std::string layout = elements(xml, "<style:page-layout-properties fo:page-width", ">").at(0);
        EXPECT_NEAR(twips(attribute(layout, "fo:page-width")), s.doc.section.pageWidth, 2);
        EXPECT_NEAR(twips(attribute(layout, "fo:page-height")), s.doc.section.pageHeight, 2);
        EXPECT_NEAR(twips(attribute(layout, "fo:margin-left")), s.doc.section.marginLeft, 2);
        std::map<std::string, std::string> faces;
        for (const std::string& face : elements(xml, "<style:font-face ", ">"))
            faces[unescapeXml(attribute(face, "style:name"))] = unescapeXml(attribute(face, "svg:font-family"));
        // The East Asian font of some text: from its span's style, else its
        // paragraph's (or the styles those are based on), else the
        // default, named as the font face says.
        auto fontOf = [&](std::string name) {
            for (int depth = 0; depth < 10 && !name.empty(); ++depth) {
                const std::string font = attribute(styles[name], "style:font-name-asian");
                if (!font.empty()) return font;
                name = attribute(styles[name].substr(0, styles[name].find('>')), "style:parent-style-name");
            }
            return std::string();
        };
        auto asianFont = [&](const std::string& part, const std::string& text) {
            const std::size_t at = part.find(text);
            const std::size_t paragraph = part.rfind("<text:p ", at), span = part.rfind("<text:span ", at);
            std::string font;
            if (span != std::string::npos && span > paragraph) font = fontOf(attribute(part.substr(span, part.find('>', span) - span), "text:style-name"));
            if (font.empty()) font = fontOf(attribute(part.substr(paragraph, part.find('>', paragraph) - paragraph), "text:style-name"));
            if (font.empty()) font = attribute(xml.substr(xml.find("<style:default-style style:family=\"paragraph\""), 2000), "style:font-name-asian");
            return faces[unescapeXml(font)];
        };
        const Paragraph& title = std::get<Paragraph>(s.doc.blocks.at(0));
        const docfile::Run& cellRun = ours.rows.at(1).cells.at(1).paragraphs.at(0).runs.at(0);
        EXPECT_EQ(asianFont(body, cellRun.text), "宋体");
        if (!title.runs.empty()) EXPECT_EQ(asianFont(body, title.runs[0].text), title.runs[0].font);
    }
}

TEST_F(DocxReaders, PandocSeesTheCellsAndTheirSpans)
{
    if (run("pandoc --version").first != 0) GTEST_SKIP() << "pandoc is not installed";
    for (const Sample& s : samplesToCheck()) {
        SCOPED_TRACE(s.name);
        // Each cell as "text|row span|column span", row by row.
        const std::string script =
            "import json,sys\n"
            "d=json.load(sys.stdin)\n"
            "def text(items):\n"
            "  out=''\n"
            "  for i in items:\n"
            "    if i['t']=='Str': out+=i['c']\n"
            "    elif i['t'] in ('Space','SoftBreak','LineBreak'): out+=' '\n"
            "    elif i['t'] in ('Para','Plain','Emph','Strong','Underline','Strikeout','SmallCaps'): out+=text(i['c'])\n"
            "    elif i['t']=='Span': out+=text(i['c'][1])\n"
            "  return out\n"
            "for b in d['blocks']:\n"
            "  if b['t']=='Table':\n"
            "    h,bodies=b['c'][3],b['c'][4]\n"
            "    for r in h[1]+[r for t in bodies for r in t[2]+t[3]]:\n"
            "      print('\\t'.join('%s|%d|%d'%(text(c[4]),c[2],c[3]) for c in r[1]))\n"
            "    break\n";
        const auto [status, out] = run("pandoc -f docx -t json '" + (dir / (s.name + ".docx")).string() + "' | /usr/bin/python3 -c \"$(cat <<'EOF'\n" + script + "EOF\n)\"");
        ASSERT_EQ(status, 0) << out;
        const Table& ours = *firstTable(s.doc);
        const TableGrid grid = tableGrid(ours, samples::textWidth(s.doc.section));
        std::string expected;
        for (const auto& row : grid.rows) {
            std::string line;
            for (const GridCell& c : row) {
                if (c.covered) continue;
                std::string text = cellText(*c.cell);
                // pandoc's words joined by single spaces.
                text = std::regex_replace(text, std::regex("\\s+"), " ");
                line += (line.empty() ? "" : "\t") + text + "|" + std::to_string(c.rows) + "|" + std::to_string(c.columns);
            }
            expected += line + "\n";
        }
        EXPECT_EQ(out, expected);
    }
}

TEST_F(DocxReaders, PythonDocxSeesTheGridMergesAndPage)
{
    if (run("/usr/bin/python3 -c 'import docx'").first != 0) GTEST_SKIP() << "python-docx (python3-docx) is not installed";
    const std::string script =
        "import sys, docx\n"
        "from docx.oxml.ns import qn\n"
        "d = docx.Document(sys.argv[1])\n"
        "s = d.sections[0]\n"
        "print(s.page_width.twips, s.page_height.twips, s.left_margin.twips, s.top_margin.twips)\n"
        "t = d.tables[0]._tbl\n"
        "print(' '.join(str(int(c.get(qn('w:w')))) for c in t.tblGrid.iterchildren(qn('w:gridCol'))))\n"
        "for tr in t.tr_lst:\n"
        "    print(' '.join('%d:%s' % (tc.grid_span, tc.vMerge or '-') for tc in tr.tc_lst))\n";
    for (const Sample& s : samplesToCheck()) {
        SCOPED_TRACE(s.name);
        const auto [status, out] = run("/usr/bin/python3 -c \"$(cat <<'EOF'\n" + script + "EOF\n)\" '" + (dir / (s.name + ".docx")).string() + "' 2>&1");
        ASSERT_EQ(status, 0) << out;
        const Section& page = s.doc.section;
        std::string expected = std::to_string(page.pageWidth) + " " + std::to_string(page.pageHeight) + " " + std::to_string(page.marginLeft)
                               + " " + std::to_string(page.marginTop) + "\n";
        const TableGrid grid = tableGrid(*firstTable(s.doc), samples::textWidth(page));
        std::string columns;
        for (std::int32_t w : grid.columnWidths) columns += (columns.empty() ? "" : " ") + std::to_string(w);
        expected += columns + "\n";
        for (const auto& row : grid.rows) {
            std::string line;
            for (const GridCell& c : row) {
                const int merge = c.cell->verticalMerge;
                line += (line.empty() ? "" : " ") + std::to_string(c.columns) + ":" + (merge == 1 ? "restart" : merge == 2 ? "continue" : "-");
            }
            expected += line + "\n";
        }
        EXPECT_EQ(out, expected);
    }
}

TEST_F(DocxReaders, LibreOfficeLaysTheDocxOutAsTheDoc)
{
    // The same timetable as .doc and as .docx, printed by LibreOffice:
    // the same lines of text on pages of the same size.
    const fs::path out = dir / "pdf";
    std::vector<fs::path> files;
    const std::vector<Sample> all = samplesToCheck();
    for (const char* name : {"timetable", "formatted"}) {
        const Sample& s = *std::find_if(all.begin(), all.end(), [&](const Sample& x) { return x.name == name; });
        writeFile(s.doc, (dir / (s.name + "-doc.doc")).string(), Format::Word97);
        fs::copy_file(dir / (s.name + ".docx"), dir / (s.name + "-docx.docx"), fs::copy_options::overwrite_existing);
        files.push_back(dir / (s.name + "-doc.doc"));
        files.push_back(dir / (s.name + "-docx.docx"));
    }
    ASSERT_TRUE(converted(dir, files, "pdf", out)) << "LibreOffice did not print the files";
    for (const char* name : {"timetable", "formatted"}) {
        SCOPED_TRACE(name);
        const std::string doc = (out / (std::string(name) + "-doc.pdf")).string(), docx = (out / (std::string(name) + "-docx.pdf")).string();
        // The words LibreOffice sets on each line, and where it sets them.
        auto words = [](const std::string& pdf) {
            const auto [status, out] = run("pdftotext -bbox '" + pdf + "' - 2>/dev/null");
            std::vector<std::tuple<std::string, double, double>> found;
            static const std::regex word(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="[0-9.]+" yMax="[0-9.]+">([^<]*)</word>)re");
            for (auto it = std::sregex_iterator(out.begin(), out.end(), word); it != std::sregex_iterator(); ++it)
                found.emplace_back((*it)[3], std::stod((*it)[1]), std::stod((*it)[2]));
            return found;
        };
        const auto docWords = words(doc), docxWords = words(docx);
        ASSERT_FALSE(docWords.empty());
        ASSERT_EQ(docxWords.size(), docWords.size());
        for (std::size_t i = 0; i < docWords.size(); ++i) {
            EXPECT_EQ(std::get<0>(docxWords[i]), std::get<0>(docWords[i]));
            EXPECT_NEAR(std::get<1>(docxWords[i]), std::get<1>(docWords[i]), 1.5) << std::get<0>(docWords[i]);
            EXPECT_NEAR(std::get<2>(docxWords[i]), std::get<2>(docWords[i]), 1.5) << std::get<0>(docWords[i]);
        }
        const auto size = [](const std::string& pdf) { return run("pdfinfo '" + pdf + "' | grep 'Page size'").second; };
        EXPECT_EQ(size(docx), size(doc));
    }
}

TEST_F(DocxReaders, OurReaderSeesWhatLibreOfficeSeesInItsOwnFiles)
{
    ASSERT_TRUE(convertedAll) << "LibreOffice did not convert every file";
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(dataDir() / "libreoffice")) {
        ++files;
        const std::string name = entry.path().stem().string();
        SCOPED_TRACE(name);
        Document doc;
        ASSERT_NO_THROW(doc = readFile(entry.path().string()));
        const std::string xml = fodt(name);
        ASSERT_FALSE(xml.empty());
        const std::string body = xml.substr(xml.find("<office:text"));
        // Every paragraph's text, in order, with those of the tables.
        std::vector<std::string> ours, theirs;
        for (const Block& b : doc.blocks) {
            if (const auto* p = std::get_if<Paragraph>(&b)) {
                ours.push_back(paragraphText(*p));
                continue;
            }
            for (const Row& r : std::get<Table>(b).rows)
                for (const Cell& c : r.cells)
                    for (const Paragraph& p : c.paragraphs) ours.push_back(paragraphText(p));
        }
        for (const auto& p : odfParagraphs(paragraphsOnly(body))) theirs.push_back(p.second);
        // Compared as ODF treats white space in text: runs of it as one
        // space, none at the ends; paragraphs without text left out.
        auto nonEmpty = [](const std::vector<std::string>& v) {
            std::vector<std::string> out;
            for (const std::string& s : v) {
                std::string t = std::regex_replace(s, std::regex("[ \t\n]+"), " ");
                if (!t.empty() && t.front() == ' ') t.erase(0, 1);
                if (!t.empty() && t.back() == ' ') t.pop_back();
                if (!t.empty()) out.push_back(t);
            }
            return out;
        };
        EXPECT_EQ(nonEmpty(ours), nonEmpty(theirs));
        // The first table's shape: rows and the cells LibreOffice shows in each.
        const Table* table = firstTable(doc);
        const std::vector<std::string> tables = elements(body, "<table:table ", "</table:table>");
        ASSERT_EQ(table != nullptr, !tables.empty());
        if (!table) continue;
        std::vector<std::size_t> shape, theirShape;
        for (const auto& row : shownCells(*table)) shape.push_back(row.size());
        for (const std::string& row : elements(tables[0], "<table:table-row", "</table:table-row>"))
            theirShape.push_back(elements(row, "<table:table-cell", "</table:table-cell>").size());
        if (name != "innertable") EXPECT_EQ(shape, theirShape);
    }
    EXPECT_GT(files, 10u);
}

TEST(DocxModel, DocToDocxToDocKeepsTheModel)
{
    std::size_t read = 0;
    for (const auto& entry : fs::directory_iterator(testutil::corpusDir())) {
        if (entry.path().extension() != ".doc") continue;
        SCOPED_TRACE(entry.path().filename().string());
        Document doc;
        try {
            doc = readFile(entry.path().string());
        } catch (const Error&) {
            continue;  // refused files are checked elsewhere
        }
        ++read;
        const Document viaDocx = readBytes(writeBytes(doc, Format::OfficeOpenXml));
        EXPECT_TRUE(viaDocx == doc);
        EXPECT_TRUE(readBytes(writeBytes(viaDocx, Format::Word97)) == doc);
    }
    EXPECT_GT(read, 10u);
}
