// Other programs read our files: LibreOffice, catdoc, antiword and wvWare
// must each find the title, every cell's text in its row and column and
// the merged lunch row, as our own reader does; LibreOffice must also see
// the page size, the fonts and the cells' alignment and margins.
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

using testutil::readText;
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

std::string paragraphText(const Paragraph& p)
{
    std::string s;
    for (const auto& r : p.runs) s += r.text;
    return s;
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
                for (const Cell& c : r.cells) {
                    std::string text;
                    for (const Paragraph& p : c.paragraphs) text += paragraphText(p);
                    seen.table.back().push_back(text);
                }
                seen.columns = std::max(seen.columns, r.cells.size());
            }
            break;
        }
    return seen;
}

std::string unescapeXml(std::string s)
{
    static const std::vector<std::pair<std::string, std::string>> entities{
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [from, to] : entities)
        for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) s.replace(at, from.size(), to);
    return s;
}

std::string stripTags(const std::string& xml)
{
    std::string out;
    bool inTag = false;
    for (char c : xml) {
        if (c == '<') inTag = true;
        else if (c == '>') inTag = false;
        else if (!inTag) out += c;
    }
    return unescapeXml(out);
}

// The text of an ODF element's content: tags dropped, spaces, tabs and line breaks written out.
std::string odfText(const std::string& xml)
{
    std::string out;
    for (std::size_t at = 0; at < xml.size();) {
        if (xml[at] != '<') {
            const std::size_t next = xml.find('<', at);
            out += unescapeXml(xml.substr(at, next - at));
            at = next == std::string::npos ? xml.size() : next;
            continue;
        }
        const std::size_t end = xml.find('>', at);
        const std::string tag = xml.substr(at, end - at + 1);
        if (tag.rfind("<text:tab", 0) == 0) out += '\t';
        else if (tag.rfind("<text:line-break", 0) == 0) out += '\n';
        else if (tag.rfind("<text:s", 0) == 0 && tag.rfind("<text:span", 0) != 0 && tag.rfind("<text:soft", 0) != 0) {
            const std::string count = tag.find("text:c=\"") != std::string::npos ? tag.substr(tag.find("text:c=\"") + 8) : "1";
            out += std::string(static_cast<std::size_t>(std::atoi(count.c_str())), ' ');
        }
        at = end == std::string::npos ? xml.size() : end + 1;
    }
    return out;
}

// The paragraphs (text:p) in an ODF fragment, in order: their opening tags and their text.
std::vector<std::pair<std::string, std::string>> odfParagraphs(const std::string& xml)
{
    std::vector<std::pair<std::string, std::string>> out;
    for (std::size_t at = xml.find("<text:p"); at != std::string::npos; at = xml.find("<text:p", at + 1)) {
        if (xml.compare(at, 8, "<text:p ") != 0 && xml.compare(at, 8, "<text:p>") != 0) continue;
        const std::size_t tagEnd = xml.find('>', at);
        const std::string tag = xml.substr(at, tagEnd - at + 1);
        if (tag.ends_with("/>")) {
            out.emplace_back(tag, "");
            continue;
        }
        const std::size_t close = xml.find("</text:p>", tagEnd);
        out.emplace_back(tag, odfText(xml.substr(tagEnd + 1, close - tagEnd - 1)));
    }
    return out;
}

std::string odfCellText(const std::string& cell)
{
    std::string text;
    for (const auto& p : odfParagraphs(cell)) text += p.second;
    return text;
}

// The parts of `text` between each `open` (a tag's start) and the matching `close`.
std::vector<std::string> elements(const std::string& text, const std::string& open, const std::string& close)
{
    std::vector<std::string> out;
    for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at + 1)) {
        const std::size_t end = text.find(close, at);
        if (end == std::string::npos) break;
        out.push_back(text.substr(at, end - at));
    }
    return out;
}

std::string attribute(const std::string& element, const std::string& name)
{
    const std::string key = name + "=\"";
    const std::size_t at = element.find(key);
    if (at == std::string::npos) return "";
    const std::size_t start = at + key.size();
    return element.substr(start, element.find('"', start) - start);
}

double twips(const std::string& length)
{
    const double v = std::atof(length.c_str());
    if (length.ends_with("in")) return v * 1440;
    if (length.ends_with("cm")) return v * 1440 / 2.54;
    if (length.ends_with("mm")) return v * 144 / 2.54;
    if (length.ends_with("pt")) return v * 20;
    return NAN;
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
        for (const Sample& s : samplesToCheck()) {
            writeFile(s.doc, (dir / (s.name + ".doc")).string());
            files += " '" + (dir / (s.name + ".doc")).string() + "'";
        }
        const std::string soffice = "timeout 300 soffice -env:UserInstallation=file://" + (dir / "profile").string()
            + " --headless --convert-to fodt --outdir '" + (dir / "lo").string() + "'" + files + " 2>&1";
        // A first start with a new profile now and then ends without
        // converting; a second try finds the profile made.
        for (int attempt = 0; attempt < 2; ++attempt) {
            const auto [status, out] = run(soffice);
            bool all = true;
            for (const Sample& s : samplesToCheck()) all = all && fs::exists(dir / "lo" / (s.name + ".fodt"));
            if (all) break;
            std::cerr << "soffice (status " << status << ") said: " << out << '\n';
        }
    }

    static void TearDownTestSuite()
    {
        if (!std::getenv("LUMETRA_KEEP_TEST_FILES")) fs::remove_all(dir);
    }

    static fs::path file(const Sample& s) { return dir / (s.name + ".doc"); }
};
fs::path Readers::dir;

} // namespace

TEST_F(Readers, LibreOfficeSeesTheTitleAndEveryCell)
{
    for (const Sample& s : samplesToCheck()) {
        SCOPED_TRACE(s.name);
        const Seen ours = ourReading(file(s));
        const fs::path converted = dir / "lo" / (s.name + ".fodt");
        ASSERT_TRUE(fs::exists(converted)) << "LibreOffice did not convert " << file(s);
        const std::string xml = readText(converted);
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
    for (const Sample& s : samplesToCheck()) {
        SCOPED_TRACE(s.name);
        const std::string title = ourReading(file(s)).title;
        const std::string xml = readText(dir / "lo" / (s.name + ".fodt"));
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
    for (const Sample& s : samplesToCheck()) {
        SCOPED_TRACE(s.name);
        const Document ours = readFile(file(s).string());
        const std::string xml = readText(dir / "lo" / (s.name + ".fodt"));
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
