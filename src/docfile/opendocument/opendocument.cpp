// OpenDocument text from the document model: content.xml holds the text
// with automatic styles made as they are needed, styles.xml the page and
// the document's default look, zipped with the manifest.
#include "docfile/opendocument/opendocument.h"

#include "docfile/fileio.h"
#include "docfile/fonts.h"
#include "docfile/tablegrid.h"
#include "docfile/xml.h"
#include "docfile/zip.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

namespace docfile {

namespace {

// What an empty font name means, as in a .doc the program writes.
using fonts::kChineseDefault;
using fonts::kLatinDefault;
using xml::escape;
using xml::number;
constexpr double kDefaultSize = 10.5;

std::string points(std::int32_t twips) { return number(twips / 20.0) + "pt"; }

// Text inside a paragraph: tabs, line breaks and runs of spaces as ODF
// writes them (plain spaces would collapse). `afterSpace` carries over
// from one span to the next.
std::string spanText(const std::string& text, bool& afterSpace)
{
    std::string out;
    std::size_t spaces = 0;
    auto flush = [&] {
        if (spaces == 0) return;
        if (!afterSpace) {
            out += ' ';
            --spaces;
        }
        if (spaces == 1) out += "<text:s/>";
        else if (spaces > 1) out += "<text:s text:c=\"" + std::to_string(spaces) + "\"/>";
        afterSpace = true;
        spaces = 0;
    };
    for (char c : escape(text)) {
        if (c == ' ') {
            ++spaces;
            continue;
        }
        flush();
        if (c == '\t') out += "<text:tab/>";
        else if (c == '\n') out += "<text:line-break/>";
        else out += c;
        afterSpace = false;
    }
    flush();
    return out;
}

std::string textProperties(const Run& run)
{
    std::string p = "<style:text-properties";
    if (!run.font.empty()) {
        const std::string font = escape(run.font);
        p += " style:font-name=\"" + font + "\" style:font-name-asian=\"" + font + "\" style:font-name-complex=\"" + font + "\"";
    }
    const std::string size = number(run.size) + "pt";
    p += " fo:font-size=\"" + size + "\" style:font-size-asian=\"" + size + "\" style:font-size-complex=\"" + size + "\"";
    const char* weight = run.bold ? "bold" : "normal";
    p += std::string(" fo:font-weight=\"") + weight + "\" style:font-weight-asian=\"" + weight + "\" style:font-weight-complex=\"" + weight + "\"";
    const char* slant = run.italic ? "italic" : "normal";
    p += std::string(" fo:font-style=\"") + slant + "\" style:font-style-asian=\"" + slant + "\" style:font-style-complex=\"" + slant + "\"";
    p += run.underline ? " style:text-underline-style=\"solid\" style:text-underline-width=\"auto\" style:text-underline-color=\"font-color\""
                       : " style:text-underline-style=\"none\"";
    if (run.colour == kAutomaticColour || run.colour > 0xFFFFFF) {
        p += " style:use-window-font-color=\"true\"";
    } else {
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%06X", static_cast<unsigned>(run.colour));
        p += std::string(" fo:color=\"") + colour + "\"";
    }
    return p + "/>";
}

// Automatic styles, one per distinct look, named in the order they are first used.
class Styles {
public:
    std::string name(const std::string& family, const std::string& prefix, const std::string& properties)
    {
        auto [it, added] = names_.try_emplace(family + properties, prefix + std::to_string(names_.size() + 1));
        if (added)
            xml_ += "<style:style style:name=\"" + it->second + "\" style:family=\"" + family + "\">" + properties + "</style:style>";
        return it->second;
    }
    const std::string& xml() const { return xml_; }

private:
    std::map<std::string, std::string> names_;
    std::string xml_;
};

class ContentWriter {
public:
    explicit ContentWriter(const Document& document) : doc_(document) {}

    std::string content()
    {
        std::string body;
        for (const Block& block : doc_.blocks) {
            if (const auto* p = std::get_if<Paragraph>(&block)) body += paragraph(*p);
            else body += table(std::get<Table>(block));
        }
        if (doc_.blocks.empty()) body += paragraph(Paragraph{});
        return header("office:document-content") + fontFaces() + "<office:automatic-styles>" + styles_.xml()
               + "</office:automatic-styles><office:body><office:text>" + body
               + "</office:text></office:body></office:document-content>";
    }

    std::string stylesXml()
    {
        const Section& s = doc_.section;
        Run base;
        base.size = kDefaultSize;
        std::string defaults = textProperties(base);
        defaults.insert(defaults.find(' '), std::string(" style:font-name=\"") + kLatinDefault + "\" style:font-name-asian=\"" + kChineseDefault
                                                + "\" style:font-name-complex=\"" + kLatinDefault + "\" fo:language=\"zh\" fo:country=\"CN\""
                                                + " style:language-asian=\"zh\" style:country-asian=\"CN\"");
        return header("office:document-styles") + fontFaces()
               + "<office:styles><style:default-style style:family=\"paragraph\">"
                 "<style:paragraph-properties fo:margin-top=\"0pt\" fo:margin-bottom=\"0pt\" style:writing-mode=\"lr-tb\"/>"
               + defaults
               + "</style:default-style><style:style style:name=\"Standard\" style:family=\"paragraph\" style:class=\"text\"/>"
                 "<style:default-style style:family=\"table\"><style:table-properties table:border-model=\"collapsing\"/></style:default-style>"
                 "</office:styles><office:automatic-styles><style:page-layout style:name=\"pm1\"><style:page-layout-properties"
                 " fo:page-width=\"" + points(s.pageWidth) + "\" fo:page-height=\"" + points(s.pageHeight) + "\""
               + " style:print-orientation=\"" + (s.pageWidth > s.pageHeight ? "landscape" : "portrait") + "\""
               + " fo:margin-top=\"" + points(s.marginTop) + "\" fo:margin-bottom=\"" + points(s.marginBottom) + "\""
               + " fo:margin-left=\"" + points(s.marginLeft) + "\" fo:margin-right=\"" + points(s.marginRight) + "\""
               + "/></style:page-layout></office:automatic-styles><office:master-styles>"
                 "<style:master-page style:name=\"Standard\" style:page-layout-name=\"pm1\"/></office:master-styles>"
                 "</office:document-styles>";
    }

private:
    static std::string header(const char* element)
    {
        return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><") + element
               + " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
                 " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
                 " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
                 " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
                 " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
                 " xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\""
                 " office:version=\"1.3\">";
    }

    // Each font named once, with the name Western systems know it by as a
    // second choice and its kind, so that a reader without either picks a
    // like face: 宋体 is a serif (roman) face, 黑体 a sans (swiss) one.
    std::string fontFaces()
    {
        std::set<std::string> fonts{kLatinDefault, kChineseDefault};
        collectFonts(fonts);
        std::string xml = "<office:font-face-decls>";
        for (const std::string& font : fonts) {
            std::vector<std::string> family{font};
            if (const char* western = fonts::westernFontName(font)) family.emplace_back(western);
            const std::string generic = fonts::genericFamily(font);
            xml += "<style:font-face style:name=\"" + escape(font) + "\" svg:font-family=\"" + escape(fontFamilyList(family)) + "\""
                   + (generic.empty() ? "" : " style:font-family-generic=\"" + generic + "\"") + " style:font-pitch=\"variable\"/>";
        }
        return xml + "</office:font-face-decls>";
    }

    void collectFonts(std::set<std::string>& fonts) const
    {
        auto add = [&](const Paragraph& p) {
            if (!p.mark.font.empty()) fonts.insert(p.mark.font);
            for (const Run& r : p.runs)
                if (!r.font.empty()) fonts.insert(r.font);
        };
        for (const Block& block : doc_.blocks) {
            if (const auto* p = std::get_if<Paragraph>(&block)) add(*p);
            else
                for (const Row& row : std::get<Table>(block).rows)
                    for (const Cell& cell : row.cells)
                        for (const Paragraph& p : cell.paragraphs) add(p);
        }
    }

    std::string paragraph(const Paragraph& p)
    {
        static const char* const kAlign[] = {"left", "center", "right", "justify"};
        const char* align = p.alignment >= 0 && p.alignment <= 3 ? kAlign[p.alignment] : "left";
        // An empty paragraph has the look of its mark, which sets its height.
        const std::string style = styles_.name(
            "paragraph", "P",
            std::string("<style:paragraph-properties fo:text-align=\"") + align + "\" fo:text-indent=\"" + points(p.firstLineIndent) + "\"/>"
                + (p.runs.empty() ? textProperties(p.mark) : std::string()));
        std::string xml = "<text:p text:style-name=\"" + style + "\">";
        bool afterSpace = true; // leading spaces are kept
        for (const Run& run : p.runs)
            xml += "<text:span text:style-name=\"" + styles_.name("text", "T", textProperties(run)) + "\">" + spanText(run.text, afterSpace)
                   + "</text:span>";
        return xml + "</text:p>";
    }

    std::string table(const Table& t)
    {
        const std::int32_t textWidth = doc_.section.pageWidth - doc_.section.marginLeft - doc_.section.marginRight;
        const TableGrid grid = tableGrid(t, textWidth);
        std::int32_t width = 0;
        for (std::int32_t w : grid.columnWidths) width += w;
        const std::string tableName = "表格" + std::to_string(++tables_);
        std::string xml = "<table:table table:name=\"" + tableName + "\" table:style-name=\""
                          + styles_.name("table", "Table",
                                         "<style:table-properties style:width=\"" + points(width)
                                             + "\" table:align=\"left\" fo:margin-left=\"0pt\" table:border-model=\"collapsing\"/>")
                          + "\">";
        for (std::int32_t w : grid.columnWidths)
            xml += "<table:table-column table:style-name=\""
                   + styles_.name("table-column", "Column", "<style:table-column-properties style:column-width=\"" + points(w) + "\"/>")
                   + "\"/>";
        for (std::size_t r = 0; r < grid.rows.size(); ++r) xml += row(t, t.rows[r], grid.rows[r], grid.columnWidths.size());
        return xml + "</table:table>";
    }

    std::string row(const Table& t, const Row& row, const std::vector<GridCell>& cells, std::size_t columns)
    {
        std::string xml = "<table:table-row";
        if (row.heightRule == 1 || row.heightRule == 2) {
            const std::string height = row.heightRule == 1 ? "style:min-row-height=\"" + points(row.height) + "\""
                                                            : "style:row-height=\"" + points(row.height) + "\" style:use-optimal-row-height=\"false\"";
            xml += " table:style-name=\"" + styles_.name("table-row", "Row", "<style:table-row-properties " + height + "/>") + "\"";
        }
        xml += ">";
        int column = 0;
        for (const GridCell& g : cells) {
            for (; column < g.column; ++column) xml += "<table:table-cell><text:p/></table:table-cell>";
            xml += cell(t, g);
            for (int k = 1; k < g.columns; ++k) xml += "<table:covered-table-cell/>";
            column = g.column + g.columns;
        }
        for (; column < static_cast<int>(columns); ++column) xml += "<table:table-cell><text:p/></table:table-cell>";
        return xml + "</table:table-row>";
    }

    std::string cell(const Table& t, const GridCell& g)
    {
        std::string text;
        for (const Paragraph& p : g.cell->paragraphs) text += paragraph(p);
        if (g.cell->paragraphs.empty()) text += paragraph(Paragraph{});
        // A continuing cell's text stays in the file, though no one shows it.
        if (g.covered) return "<table:covered-table-cell>" + text + "</table:covered-table-cell>";

        static const char* const kVertical[] = {"top", "middle", "bottom"};
        const int v = g.cell->verticalAlignment;
        const std::string style = styles_.name(
            "table-cell", "Cell",
            "<style:table-cell-properties fo:border=\"0.5pt solid #000000\" fo:padding-top=\"0pt\" fo:padding-bottom=\"0pt\" fo:padding-left=\""
                + points(t.cellMargin) + "\" fo:padding-right=\"" + points(t.cellMargin) + "\" style:vertical-align=\""
                + (v >= 0 && v <= 2 ? kVertical[v] : "top") + "\"/>");
        std::string xml = "<table:table-cell table:style-name=\"" + style + "\" office:value-type=\"string\"";
        if (g.columns > 1) xml += " table:number-columns-spanned=\"" + std::to_string(g.columns) + "\"";
        if (g.rows > 1) xml += " table:number-rows-spanned=\"" + std::to_string(g.rows) + "\"";
        return xml + ">" + text + "</table:table-cell>";
    }

    const Document& doc_;
    Styles styles_;
    int tables_ = 0;
};

std::vector<unsigned char> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

} // namespace

std::string fontFamilyList(const std::vector<std::string>& names)
{
    // A name stands bare when it is one CSS identifier: letters, digits,
    // '-' and '_' and any non-ASCII character, not starting with a digit
    // or a hyphen and a digit. Any other name is quoted.
    auto bare = [](const std::string& name) {
        if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
        if (name[0] == '-' && (name.size() == 1 || name[1] == '-' || std::isdigit(static_cast<unsigned char>(name[1])))) return false;
        for (char c : name) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 0x80 && !std::isalnum(u) && c != '-' && c != '_') return false;
        }
        // Generic families and CSS-wide keywords would mean something else.
        static const char* const kKeywords[] = {"serif", "sans-serif", "monospace", "cursive", "fantasy", "system-ui",
                                                "inherit", "initial", "unset", "default", "revert"};
        std::string lower;
        for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return std::none_of(std::begin(kKeywords), std::end(kKeywords), [&](const char* k) { return lower == k; });
    };
    std::string list;
    for (const std::string& name : names) {
        if (!list.empty()) list += ", ";
        if (bare(name)) {
            list += name;
            continue;
        }
        list += '\'';
        for (char c : name) {
            if (c == '\'' || c == '\\') list += '\\';
            list += c;
        }
        list += '\'';
    }
    return list;
}

std::vector<unsigned char> writeOpenDocumentBytes(const Document& document)
{
    ContentWriter writer(document);
    const std::string content = writer.content();
    const std::string styles = writer.stylesXml();
    const std::string manifest =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" manifest:version=\"1.3\">"
        "<manifest:file-entry manifest:full-path=\"/\" manifest:media-type=\"application/vnd.oasis.opendocument.text\" manifest:version=\"1.3\"/>"
        "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
        "<manifest:file-entry manifest:full-path=\"styles.xml\" manifest:media-type=\"text/xml\"/>"
        "</manifest:manifest>";
    return zip::write({{"mimetype", bytesOf("application/vnd.oasis.opendocument.text")},
                       {"content.xml", bytesOf(content)},
                       {"styles.xml", bytesOf(styles)},
                       {"META-INF/manifest.xml", bytesOf(manifest)}},
                      true);
}

void writeOpenDocumentFile(const Document& document, const std::string& path)
{
    fileio::replace(path, writeOpenDocumentBytes(document));
}

} // namespace docfile
