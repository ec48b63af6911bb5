// Other programs read our files: LibreOffice, catdoc, antiword and wvWare
// must each find the title, every cell's text in its row and column and
// the merged lunch row, as our own reader does; LibreOffice must also see
// the page size, the fonts and the cells' alignment and margins, both in
// the .doc and in the OpenDocument text written from the same model.
#include "docfile/opendocument/opendocument.h"
#include "odf.h"
#include "samples.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

using namespace docfile;
namespace fs = std::filesystem;

using namespace odf;
using testutil::readText;
using testutil::cellText;
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
    return {{"timetable", samples::defaultTimetable()},
            {"emptytitle", samples::emptyTitle()},
            {"mergedends", samples::mergedFirstAndLastRows()},
            {"tenbyseven", samples::tenPeriodsSevenDays()},
            {"mixed", samples::mixedText()}};
}

// What the editor adds, seen by LibreOffice alone: the other readers show
// text only, and a merged-down cell changes the grid they are checked on.
Sample formatted() { return {"formatted", samples::formattedTimetable()}; }

std::string trim(const std::string& s)
{
    const auto begin = s.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return "";
    return s.substr(begin, s.find_last_not_of(" \t\r\n") - begin + 1);
}

std::string join(const std::vector<std::string>& parts, const std::string& sep)
{
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? sep : "") + parts[i];
    return out;
}

// What our own reader sees: the first paragraph's text and the table.
struct Seen {
    std::string title;
    Grid table;
    std::size_t columns = 0;
};

Seen ourReading(const fs::path& file)
{
    const Document doc = readFile(file.string());
    Seen seen;
    seen.title = paragraphText(std::get<Paragraph>(doc.blocks.at(0)));
    for (const Block& b : doc.blocks)
        if (const auto* t = std::get_if<Table>(&b)) {
            for (const Row& r : t->rows) {
                seen.table.emplace_back();
                for (const Cell& c : r.cells) seen.table.back().push_back(cellText(c));
                seen.columns = std::max(seen.columns, r.cells.size());
            }
            break;
        }
    return seen;
}

class Readers : public ::testing::Test {
protected:
    static fs::path dir;

    static void SetUpTestSuite()
    {
        char pattern[] = "/tmp/docfile-readers-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        fs::create_directories(dir / "home");
        // LibreOffice keeps its settings in a profile of its own here.
        setenv("HOME", (dir / "home").c_str(), 1);
        std::string files;
        std::vector<Sample> all = samplesToCheck();
        all.push_back(formatted());
        for (const Sample& s : all) {
            writeFile(s.doc, (dir / (s.name + ".doc")).string());
            writeOpenDocumentFile(s.doc, (dir / (s.name + "-odt.odt")).string());
            files += " '" + (dir / (s.name + ".doc")).string() + "' '" + (dir / (s.name + "-odt.odt")).string() + "'";
        }
        const std::string soffice = "timeout 300 soffice -env:UserInstallation=file://" + (dir / "profile").string()
            + " --headless --convert-to fodt --outdir '" + (dir / "lo").string() + "'" + files + " 2>&1";
        // A first start with a new profile now and then ends without
        // converting; a second try finds the profile made.
        for (int attempt = 0; attempt < 2; ++attempt) {
            const auto [status, out] = run(soffice);
            bool all = true;
            for (const Sample& s : samplesToCheck())
                for (const char* format : kFormats) all = all && fs::exists(converted(s, format));
            for (const char* format : kFormats) all = all && fs::exists(converted(formatted(), format));
            if (all) break;
            std::cerr << "soffice (status " << status << ") said: " << out << '\n';
        }
    }

    static void TearDownTestSuite()
    {
        if (!std::getenv("LUMETRA_KEEP_TEST_FILES")) fs::remove_all(dir);
    }

    static fs::path file(const Sample& s) { return dir / (s.name + ".doc"); }
    // What LibreOffice made of a sample written as .doc ("") or as .odt ("-odt").
    static fs::path converted(const Sample& s, const char* format) { return dir / "lo" / (s.name + format + ".fodt"); }
    static constexpr const char* kFormats[] = {"", "-odt"};
};
fs::path Readers::dir;

} // namespace

TEST_F(Readers, LibreOfficeSeesTheTitleAndEveryCell)
{
    for (const Sample& s : samplesToCheck()) for (const char* format : kFormats) {
        SCOPED_TRACE(s.name + format);
        const Seen ours = ourReading(file(s));
        ASSERT_TRUE(fs::exists(converted(s, format))) << "LibreOffice did not convert " << s.name << format;
        const std::string xml = readText(converted(s, format));
        const std::string body = xml.substr(xml.find("<office:text"));
        EXPECT_EQ(odfParagraphs(body).at(0).second, ours.title);

        const std::string table = elements(body, "<table:table ", "</table:table>").at(0);
        Grid seen;
        for (const std::string& row : elements(table, "<table:table-row", "</table:table-row>")) {
            seen.emplace_back();
            for (const std::string& cell : elements(row, "<table:table-cell", "</table:table-cell>")) {
                seen.back().push_back(odfCellText(cell));
                // A row of one cell must span the whole table, as the merged lunch row does.
                if (ours.table.at(seen.size() - 1).size() == 1)
                    EXPECT_EQ(attribute(cell, "table:number-columns-spanned"), std::to_string(ours.columns));
            }
        }
        EXPECT_EQ(seen, ours.table);
    }
}

TEST_F(Readers, LibreOfficeSeesThePageFontsAndAlignment)
{
    for (const Sample& s : samplesToCheck()) for (const char* format : kFormats) {
        SCOPED_TRACE(s.name + format);
        const std::string title = ourReading(file(s)).title;
        const std::string xml = readText(converted(s, format));
        ASSERT_FALSE(xml.empty());
        const std::string layout = elements(xml, "<style:page-layout-properties fo:page-width", ">").at(0);
        EXPECT_NEAR(twips(attribute(layout, "fo:page-width")), s.doc.section.pageWidth, 2);
        EXPECT_NEAR(twips(attribute(layout, "fo:page-height")), s.doc.section.pageHeight, 2);
        EXPECT_NEAR(twips(attribute(layout, "fo:margin-left")), s.doc.section.marginLeft, 2);
        EXPECT_NEAR(twips(attribute(layout, "fo:margin-top")), s.doc.section.marginTop, 2);

        // The font table names the Chinese fonts with their Western names.
        std::map<std::string, std::string> faces;
        for (const std::string& face : elements(xml, "<style:font-face ", ">"))
            faces[unescapeXml(attribute(face, "style:name"))] = unescapeXml(attribute(face, "svg:font-family"));
        EXPECT_NE(faces["宋体"].find("SimSun"), std::string::npos) << faces["宋体"];
        if (!title.empty()) EXPECT_NE(faces["黑体"].find("SimHei"), std::string::npos) << faces["黑体"];

        // Styles used: the title in 黑体 16 pt bold, the cells in 宋体 9 pt, centred vertically.
        std::map<std::string, std::string> styles;
        for (const std::string& style : elements(xml, "<style:style ", "</style:style>")) styles[attribute(style, "style:name")] = style;
        const std::string body = xml.substr(xml.find("<office:text"));
        const std::string firstParagraph = body.substr(body.find("<text:p "), body.find("</text:p>") - body.find("<text:p "));
        if (!title.empty()) {
            std::string look = styles[attribute(firstParagraph, "text:style-name")];
            for (const std::string& span : elements(firstParagraph, "<text:span", ">")) look += styles[attribute(span, "text:style-name")];
            EXPECT_NE(look.find("style:font-name-asian=\"黑体\""), std::string::npos) << look;
            EXPECT_NE(look.find("fo:font-size=\"16pt\""), std::string::npos) << look;
            EXPECT_NE(look.find("fo:font-weight=\"bold\""), std::string::npos) << look;
        }
        const std::string table = elements(body, "<table:table ", "</table:table>").at(0);
        const std::string cell = elements(table, "<table:table-cell", "</table:table-cell>").at(0);
        EXPECT_NE(styles[attribute(cell, "table:style-name")].find("style:vertical-align=\"middle\""), std::string::npos);
        const std::string cellLook = styles[attribute(odfParagraphs(cell).at(0).first, "text:style-name")];
        EXPECT_NE(cellLook.find("style:font-name-asian=\"宋体\""), std::string::npos) << cellLook;
        EXPECT_NE(cellLook.find("fo:font-size=\"9pt\""), std::string::npos) << cellLook;
        // The cells' margins as the file gives them.
        const std::string cellStyle = styles[attribute(cell, "table:style-name")];
        EXPECT_NEAR(twips(attribute(cellStyle, "fo:padding-left")), kDefaultCellMargin, 2) << cellStyle;
        EXPECT_NEAR(twips(attribute(cellStyle, "fo:padding-right")), kDefaultCellMargin, 2) << cellStyle;
    }
}

TEST_F(Readers, LibreOfficeSeesParagraphAlignmentAndIndent)
{
    static const char* const alignments[] = {"start", "center", "end", "justify"};
    for (const Sample& s : samplesToCheck()) for (const char* format : kFormats) {
        SCOPED_TRACE(s.name + format);
        const Document ours = readFile(file(s).string());
        const std::string xml = readText(converted(s, format));
        std::map<std::string, std::string> styles;
        for (const std::string& style : elements(xml, "<style:style ", "</style:style>")) styles[attribute(style, "style:name")] = style;
        const auto paragraphs = odfParagraphs(xml.substr(xml.find("<office:text")));
        for (const Block& b : ours.blocks) {
            const auto* p = std::get_if<Paragraph>(&b);
            if (!p || p->runs.empty()) continue;
            const std::string text = paragraphText(*p);
            const auto it = std::find_if(paragraphs.begin(), paragraphs.end(), [&](const auto& lo) { return lo.second == text; });
            ASSERT_NE(it, paragraphs.end()) << "LibreOffice has no paragraph " << text;
            const std::string style = styles[attribute(it->first, "text:style-name")];
            std::string align = attribute(style, "fo:text-align");
            if (align == "left") align = "start";
            if (align == "right") align = "end";
            EXPECT_EQ(align.empty() ? "start" : align, alignments[p->alignment]) << text;
            const std::string indent = attribute(style, "fo:text-indent");
            EXPECT_NEAR(indent.empty() ? 0.0 : twips(indent), p->firstLineIndent, 2) << text;
        }
    }
}

TEST_F(Readers, LibreOfficeSeesTheEditorsFormatting)
{
    const Sample s = formatted();
    for (const char* format : kFormats) {
        SCOPED_TRACE(format);
        const std::string xml = readText(converted(s, format));
        ASSERT_FALSE(xml.empty()) << "LibreOffice did not convert " << s.name << format;
        std::map<std::string, std::string> styles;
        for (const std::string& style : elements(xml, "<style:style ", "</style:style>")) styles[attribute(style, "style:name")] = style;
        const std::string body = xml.substr(xml.find("<office:text"));
        // The look of the text `fragment` in `part`: its paragraph's style and
        // that of the span around it, if any.
        auto lookOf = [&](const std::string& part, const std::string& fragment) {
            const std::size_t at = part.find(fragment);
            if (at == std::string::npos) return std::string("(no text " + fragment + ")");
            const std::size_t p = part.rfind("<text:p ", at);
            if (p == std::string::npos) return std::string("(no paragraph around " + fragment + ")");
            std::string look = styles[attribute(part.substr(p, part.find('>', p) - p), "text:style-name")];
            const std::size_t span = part.rfind("<text:span ", at);
            if (span != std::string::npos && span > p && part.find("</text:span>", span) > at)
                look += styles[attribute(part.substr(span, part.find('>', span) - span), "text:style-name")];
            return look;
        };
        auto has = [](const std::string& look, const std::string& what) { return look.find(what) != std::string::npos; };
        const std::string italic = "fo:font-style=\"italic\"", underline = "style:text-underline-style=\"solid\"";

        const std::string title = lookOf(body, "高一（3）班课程表"), term = lookOf(body, "（下学期）");
        EXPECT_TRUE(has(title, "fo:color=\"#c00000\"")) << title;
        EXPECT_FALSE(has(title, italic)) << title;
        EXPECT_FALSE(has(title, underline)) << title;
        EXPECT_TRUE(has(term, italic)) << term;
        EXPECT_TRUE(has(term, underline)) << term;
        EXPECT_TRUE(has(term, "fo:color=\"#0070c0\"")) << term;
        // The empty paragraph after the title: its mark's look is the paragraph's.
        const std::string note = styles[attribute(odfParagraphs(body).at(1).first, "text:style-name")];
        EXPECT_TRUE(has(note, italic)) << note;
        EXPECT_TRUE(has(note, underline)) << note;
        EXPECT_TRUE(has(note, "fo:color=\"#00b050\"")) << note;
        const std::string table = elements(body, "<table:table ", "</table:table>").at(0);
        const Table& ours = std::get<Table>(s.doc.blocks.at(2));
        const std::vector<std::string> rows = elements(table, "<table:table-row", "</table:table-row>");
        ASSERT_EQ(rows.size(), ours.rows.size());
        auto cells = [&](std::size_t r) { return elements(rows.at(r), "<table:table-cell", "</table:table-cell>"); };
        auto covered = [&](std::size_t r) { return elements(rows.at(r), "<table:covered-table-cell", ">").size(); };
        // Row 2's second cell is covered by the one above: its third to sixth
        // cells are LibreOffice's second to fifth.
        auto subject = [&](std::size_t r, std::size_t c) { return ours.rows[r].cells[c].paragraphs[0].runs[0].text; };
        const std::string italicCell = lookOf(cells(2).at(1), subject(2, 2)), underlinedCell = lookOf(cells(2).at(2), subject(2, 3));
        const std::string blackCell = lookOf(cells(2).at(3), subject(2, 4)), redCell = lookOf(cells(3).at(5), subject(3, 5));
        EXPECT_TRUE(has(italicCell, italic)) << italicCell;
        EXPECT_FALSE(has(italicCell, underline)) << italicCell;
        EXPECT_TRUE(has(underlinedCell, underline)) << underlinedCell;
        EXPECT_TRUE(has(blackCell, "fo:color=\"#000000\"")) << blackCell;
        EXPECT_TRUE(has(redCell, "fo:color=\"#ff0000\"")) << redCell;

        // Row heights: the header exactly 1 cm, the others at least 0.8 cm.
        for (std::size_t r = 0; r < rows.size(); ++r) {
            SCOPED_TRACE("row " + std::to_string(r));
            const std::string rowStyle = styles[attribute(rows[r], "table:style-name")];
            const std::string exact = attribute(rowStyle, "style:row-height"), least = attribute(rowStyle, "style:min-row-height");
            if (ours.rows[r].heightRule == 2) {
                EXPECT_NEAR(twips(exact), ours.rows[r].height, 2) << rowStyle;
                EXPECT_EQ(least, "") << rowStyle;
            } else {
                EXPECT_NEAR(twips(least), ours.rows[r].height, 2) << rowStyle;
            }
        }
        // The double lesson spans two rows, the activity three; the cells
        // below them are covered.
        EXPECT_EQ(attribute(cells(1).at(1), "table:number-rows-spanned"), "2");
        EXPECT_EQ(odfCellText(cells(1).at(1)), ours.rows[1].cells[1].paragraphs[0].runs[0].text);
        EXPECT_EQ(attribute(cells(7).at(6), "table:number-rows-spanned"), "3");
        EXPECT_EQ(odfCellText(cells(7).at(6)), "社团活动");
        EXPECT_EQ(covered(1), 0u);
        EXPECT_EQ(covered(2), 1u);
        EXPECT_EQ(covered(8), 1u);
        EXPECT_EQ(covered(9), 1u);
        EXPECT_EQ(cells(2).size(), 6u);
    }
}

TEST_F(Readers, CatdocSeesTheTitleAndEveryRow)
{
    for (const Sample& s : samplesToCheck()) {
        SCOPED_TRACE(s.name);
        const Seen ours = ourReading(file(s));
        const auto [status, out] = run("catdoc -w -d utf-8 '" + file(s).string() + "'");
        ASSERT_EQ(status, 0) << out;
        // catdoc prints each row as one line, its cells separated by tabs.
        std::vector<std::string> lines;
        std::stringstream in(out);
        for (std::string line; std::getline(in, line);)
            if (!trim(line).empty()) lines.push_back(line);
        std::vector<std::string> expected;
        if (!ours.title.empty()) expected.push_back(ours.title);
        for (const auto& row : ours.table) expected.push_back(join(row, "\t"));
        ASSERT_GE(lines.size(), expected.size()) << out;
        std::size_t at = 0;
        for (const std::string& want : expected) {
            while (at < lines.size() && lines[at] != want) ++at;
            EXPECT_LT(at, lines.size()) << "catdoc has no line \"" << want << "\" in order:\n" << out;
            if (at < lines.size()) ++at;
        }
    }
}

TEST_F(Readers, AntiwordSeesTheTitleAndEveryCell)
{
    for (const Sample& s : samplesToCheck()) {
        SCOPED_TRACE(s.name);
        const Seen ours = ourReading(file(s));
        const auto [status, out] = run("antiword -m UTF-8.txt -w 0 '" + file(s).string() + "' 2>&1");
        ASSERT_EQ(status, 0) << out;
        // antiword draws a table row as |cell|cell|.
        Grid seen;
        std::vector<std::string> other;
        std::stringstream in(out);
        for (std::string line; std::getline(in, line);) {
            if (line.rfind('|', 0) != 0) {
                if (!trim(line).empty()) other.push_back(trim(line));
                continue;
            }
            seen.emplace_back();
            std::stringstream cells(line.substr(1));
            for (std::string cell; std::getline(cells, cell, '|');) seen.back().push_back(trim(cell));
        }
        EXPECT_EQ(seen, ours.table) << out;
        if (!ours.title.empty()) {
            ASSERT_FALSE(other.empty()) << out;
            EXPECT_EQ(other.front(), ours.title);
        }
    }
}

TEST_F(Readers, WvWareSeesTheTitleAndEveryCell)
{
    for (const Sample& s : samplesToCheck()) {
        SCOPED_TRACE(s.name);
        const Seen ours = ourReading(file(s));
        const fs::path html = dir / (s.name + ".html");
        const auto [status, out] = run("cd '" + dir.string() + "' && wvHtml '" + file(s).string() + "' '" + html.filename().string() + "' 2>&1");
        ASSERT_EQ(status, 0) << out;
        const std::string page = readText(html);
        const std::string table = elements(page, "<table", "</table>").at(0);
        Grid seen;
        for (const std::string& row : elements(table, "<tr", "</tr>")) {
            seen.emplace_back();
            for (const std::string& cell : elements(row, "<td", "</td>")) {
                seen.back().push_back(trim(stripTags(cell)));
                if (ours.table.at(seen.size() - 1).size() == 1)
                    EXPECT_EQ(attribute(cell, "colspan"), std::to_string(ours.columns));
            }
        }
        EXPECT_EQ(seen, ours.table);
        if (!ours.title.empty()) {
            const std::string before = stripTags(page.substr(0, page.find("<table")));
            EXPECT_NE(before.find(ours.title), std::string::npos) << before;
        }
    }
}
