// The document model written as WordprocessingML (.docx): document.xml
// holds the text and tables with their formatting written out on each run,
// cell and row; styles.xml the defaults an empty font name stands for;
// settings.xml what Word needs to lay the text out as the .doc of the same
// model; fontTable.xml the fonts with their Western names. What the .doc
// writer refuses for being out of range is refused here with the same
// reasons, so that a model saves in both formats or in neither.
#include "docfile/fonts.h"
#include "docfile/ooxml/names.h"
#include "docfile/ooxml/ooxml.h"
#include "docfile/tablegrid.h"
#include "docfile/text.h"
#include "docfile/xml.h"
#include "docfile/zip.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <set>

namespace docfile::ooxml {

namespace {

using xml::escape;

constexpr std::int32_t kTwipsLimit = 31680;  // 22 inches, Word's largest page
constexpr std::size_t kMostCells = 63;       // Word's widest table
constexpr int kDefaultTabStop = 420;         // every two Chinese characters, as in the .doc
constexpr int kDefaultHalfPoints = 21;       // 10.5 pt, the .doc's Normal style

std::string attr(const char* name, const std::string& value) { return std::string(" ") + name + "=\"" + escape(value) + "\""; }
std::string attr(const char* name, long value) { return attr(name, std::to_string(value)); }
std::string element(const char* name, const char* attribute, long value)
{
    return std::string("<") + name + attr(attribute, value) + "/>";
}

std::string twips(const char* name, std::int32_t value) { return std::string("<") + name + attr("w:w", value) + " w:type=\"dxa\"/>"; }

bool hasEastAsian(const std::string& text)
{
    for (char16_t c : text::utf8ToUtf16(text))
        if (text::isEastAsian(c)) return true;
    return false;
}

// A run's properties: with `explicitly`, those that are off too, and the
// default fonts by name, to override a paragraph style that has them on.
std::string runProperties(const Run& run, bool explicitly, bool hint)
{
    if (!(run.size > 0) || run.size > 1638) throw Error("字号超出了 Word 能记录的范围");
    if (run.colour != kAutomaticColour && run.colour > 0xFFFFFF) throw Error("文字颜色无效");
    std::string p;
    if (!run.font.empty() || explicitly) {
        // One font for every kind of text, as in the .doc.
        const std::string latin = escape(run.font.empty() ? fonts::kLatinDefault : run.font);
        const std::string chinese = escape(run.font.empty() ? fonts::kChineseDefault : run.font);
        p += "<w:rFonts w:ascii=\"" + latin + "\" w:hAnsi=\"" + latin + "\" w:eastAsia=\"" + chinese + "\" w:cs=\"" + latin + "\""
             + (hint ? " w:hint=\"eastAsia\"" : "") + "/>";
    } else if (hint) {
        p += "<w:rFonts w:hint=\"eastAsia\"/>";
    }
    if (run.bold || explicitly) p += run.bold ? "<w:b/>" : "<w:b w:val=\"0\"/>";
    if (run.italic || explicitly) p += run.italic ? "<w:i/>" : "<w:i w:val=\"0\"/>";
    if (run.colour != kAutomaticColour) {
        char colour[8];
        std::snprintf(colour, sizeof colour, "%06X", static_cast<unsigned>(run.colour));
        p += std::string("<w:color w:val=\"") + colour + "\"/>";
    } else if (explicitly) {
        p += "<w:color w:val=\"auto\"/>";
    }
    const long halfPoints = std::lround(run.size * 2);
    p += element("w:sz", "w:val", halfPoints) + element("w:szCs", "w:val", halfPoints);
    if (run.underline || explicitly) p += run.underline ? "<w:u w:val=\"single\"/>" : "<w:u w:val=\"none\"/>";
    return p;
}

// The look of a run without its text, to tell looks apart.
Run lookOf(const Run& run)
{
    Run look = run;
    look.text.clear();
    return look;
}

// A run's text: tabs and line breaks as elements of their own, characters
// XML cannot hold left out as the .doc writer leaves them out.
std::string runText(const std::string& text)
{
    std::string out, pending;
    auto flush = [&] {
        if (!pending.empty()) out += "<w:t xml:space=\"preserve\">" + escape(pending) + "</w:t>";
        pending.clear();
    };
    for (char c : text) {
        if (c == '\t' || c == '\n') {
            flush();
            out += c == '\t' ? "<w:tab/>" : "<w:br/>";
        } else {
            pending += c;
        }
    }
    flush();
    return out;
}

class DocumentWriter {
public:
    explicit DocumentWriter(const Document& doc) : doc_(doc) {}

    std::string document()
    {
        std::string body;
        for (const Block& block : doc_.blocks) {
            if (const auto* p = std::get_if<Paragraph>(&block)) body += paragraph(*p);
            else body += table(std::get<Table>(block));
        }
        // Word needs the body to end with a paragraph outside any table.
        if (doc_.blocks.empty() || std::holds_alternative<Table>(doc_.blocks.back())) body += paragraph(Paragraph{});
        return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:document xmlns:w=\"") + names::kWordMain
               + "\" xmlns:r=\"" + names::kRelationshipsNs + "\"><w:body>" + body + section() + "</w:body></w:document>";
    }

    const std::set<std::string>& fontsUsed() const { return fonts_; }
    const std::string& paragraphStyles() const { return styles_; }

private:
    std::string section() const
    {
        const Section& s = doc_.section;
        for (std::int32_t v : {s.pageWidth, s.pageHeight})
            if (v < 1 || v > kTwipsLimit) throw Error("页面设置超出了 Word 能记录的范围");
        for (std::int32_t v : {s.marginTop, s.marginBottom, s.marginLeft, s.marginRight, s.headerDistance, s.footerDistance})
            if (v < 0 || v > kTwipsLimit) throw Error("页面设置超出了 Word 能记录的范围");
        if (s.verticalAlignment != 0 && s.verticalAlignment != 1 && s.verticalAlignment != 3) throw Error("页面的垂直对齐方式无效");
        std::string x = "<w:sectPr><w:pgSz" + attr("w:w", s.pageWidth) + attr("w:h", s.pageHeight)
                        + (s.pageWidth > s.pageHeight ? " w:orient=\"landscape\"" : "") + "/><w:pgMar" + attr("w:top", s.marginTop)
                        + attr("w:right", s.marginRight) + attr("w:bottom", s.marginBottom) + attr("w:left", s.marginLeft)
                        + attr("w:header", s.headerDistance) + attr("w:footer", s.footerDistance) + " w:gutter=\"0\"/>";
        if (s.verticalAlignment != 0) x += std::string("<w:vAlign w:val=\"") + (s.verticalAlignment == 1 ? "center" : "bottom") + "\"/>";
        return x + "</w:sectPr>";
    }

    std::string paragraph(const Paragraph& p)
    {
        static const char* const kAlign[] = {"left", "center", "right", "both"};
        if (p.alignment < 0 || p.alignment > 3) throw Error("段落的对齐方式无效");
        if (p.firstLineIndent < -kTwipsLimit || p.firstLineIndent > kTwipsLimit) throw Error("首行缩进超出了 Word 能记录的范围");
        std::string x = "<w:p><w:pPr>";
        // The mark looks like the last run, or as the model says for an
        // empty paragraph, whose height it sets. That look is the
        // paragraph's style, so that runs looking like it (most of a
        // timetable's) need no properties of their own.
        const Run& mark = p.runs.empty() ? p.mark : p.runs.back();
        note(mark);
        x += "<w:pStyle w:val=\"" + paragraphStyle(mark) + "\"/>";
        if (p.firstLineIndent > 0) x += element("w:ind", "w:firstLine", p.firstLineIndent);
        if (p.firstLineIndent < 0) x += element("w:ind", "w:hanging", -static_cast<long>(p.firstLineIndent));
        if (p.alignment != 0) x += std::string("<w:jc w:val=\"") + kAlign[p.alignment] + "\"/>";
        x += "</w:pPr>";
        const Run markLook = lookOf(mark);
        for (const Run& run : p.runs) {
            note(run);
            // Where Chinese and Latin text take different fonts (the
            // defaults), the hint has the punctuation they share drawn as
            // Chinese, as in the .doc.
            const bool hint = run.font.empty() && hasEastAsian(run.text);
            const bool own = !(lookOf(run) == markLook);
            x += "<w:r>";
            if (own) x += "<w:rPr>" + runProperties(run, true, hint) + "</w:rPr>";
            else if (hint) x += "<w:rPr><w:rFonts w:hint=\"eastAsia\"/></w:rPr>";
            x += runText(run.text) + "</w:r>";
        }
        return x + "</w:p>";
    }

    // The paragraph style of a look, made the first time the look is used.
    std::string paragraphStyle(const Run& look)
    {
        const std::string properties = runProperties(look, false, false);
        const auto [it, added] = styleIds_.try_emplace(properties, "Lumetra" + std::to_string(styleIds_.size() + 1));
        if (added)
            styles_ += "<w:style w:type=\"paragraph\" w:customStyle=\"1\" w:styleId=\"" + it->second + "\"><w:name w:val=\"Lumetra "
                       + std::to_string(styleIds_.size()) + "\"/><w:basedOn w:val=\"Normal\"/><w:qFormat/><w:rPr>" + properties + "</w:rPr></w:style>";
        return it->second;
    }

    void note(const Run& run)
    {
        if (!run.font.empty()) fonts_.insert(run.font);
    }

    std::string table(const Table& t)
    {
        if (t.cellMargin < 0 || t.cellMargin > kTwipsLimit / 2) throw Error("表格单元格的边距超出了 Word 能记录的范围");
        const std::int32_t textWidth = doc_.section.pageWidth - doc_.section.marginLeft - doc_.section.marginRight;
        for (const Row& row : t.rows) {
            if (row.cells.empty()) throw Error("表格中有一行没有单元格");
            if (row.cells.size() > kMostCells) throw Error("表格的一行最多可有 63 个单元格");
            std::int64_t width = 0;
            for (const Cell& cell : row.cells) width += std::max<std::int64_t>(cell.width, 0);
            if (width > kTwipsLimit) throw Error("表格太宽，超出了 Word 能记录的范围");
        }
        const TableGrid grid = tableGrid(t, textWidth);
        std::int64_t width = 0;
        for (std::int32_t w : grid.columnWidths) width += w;
        const std::string border = " w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>";
        std::string x = "<w:tbl><w:tblPr>" + twips("w:tblW", static_cast<std::int32_t>(width)) + "<w:tblBorders>";
        for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"}) x += std::string("<w:") + side + border;
        x += "</w:tblBorders><w:tblLayout w:type=\"fixed\"/><w:tblCellMar>" + twips("w:top", 0) + twips("w:left", t.cellMargin)
             + twips("w:bottom", 0) + twips("w:right", t.cellMargin) + "</w:tblCellMar></w:tblPr><w:tblGrid>";
        for (std::int32_t w : grid.columnWidths) x += element("w:gridCol", "w:w", w);
        x += "</w:tblGrid>";
        for (std::size_t r = 0; r < t.rows.size(); ++r) x += row(t.rows[r], grid.rows[r], grid);
        return x + "</w:tbl>";
    }

    std::string row(const Row& row, const std::vector<GridCell>& cells, const TableGrid& grid)
    {
        if (row.heightRule < 0 || row.heightRule > 2) throw Error("表格的行高设置无效");
        std::string properties;
        // A row ending before the table's last column leaves the rest empty.
        const int columns = static_cast<int>(grid.columnWidths.size());
        const int used = cells.empty() ? 0 : cells.back().column + cells.back().columns;
        if (used < columns) {
            std::int32_t after = 0;
            for (int c = used; c < columns; ++c) after += grid.columnWidths[static_cast<std::size_t>(c)];
            properties += element("w:gridAfter", "w:val", columns - used) + twips("w:wAfter", after);
        }
        if (row.heightRule != 0) {
            if (row.height < 1 || row.height > kTwipsLimit) throw Error("表格的行高超出了 Word 能记录的范围");
            properties += "<w:trHeight" + attr("w:val", row.height) + (row.heightRule == 1 ? " w:hRule=\"atLeast\"" : " w:hRule=\"exact\"") + "/>";
        }
        std::string x = "<w:tr>";
        if (!properties.empty()) x += "<w:trPr>" + properties + "</w:trPr>";
        for (const GridCell& g : cells) x += cell(g, grid);
        return x + "</w:tr>";
    }

    std::string cell(const GridCell& g, const TableGrid& grid)
    {
        static const char* const kVertical[] = {"top", "center", "bottom"};
        const Cell& c = *g.cell;
        if (c.verticalAlignment < 0 || c.verticalAlignment > 2) throw Error("单元格的垂直对齐方式无效");
        if (c.verticalMerge < 0 || c.verticalMerge > 2) throw Error("单元格的纵向合并设置无效");
        // The cell's own width where the model gives one (the grid rounds
        // edges a few twips apart to one), else the columns it spans.
        std::int32_t width = c.width;
        if (width <= 0)
            for (int k = 0; k < g.columns; ++k) width += grid.columnWidths[static_cast<std::size_t>(g.column + k)];
        std::string x = "<w:tc><w:tcPr>" + twips("w:tcW", width);
        if (g.columns > 1) x += element("w:gridSpan", "w:val", g.columns);
        if (c.verticalMerge == 1) x += "<w:vMerge w:val=\"restart\"/>";
        if (c.verticalMerge == 2) x += "<w:vMerge/>";
        x += std::string("<w:vAlign w:val=\"") + kVertical[c.verticalAlignment] + "\"/></w:tcPr>";
        // A cell holds at least one paragraph.
        if (c.paragraphs.empty()) x += paragraph(Paragraph{});
        for (const Paragraph& p : c.paragraphs) x += paragraph(p);
        return x + "</w:tc>";
    }

    const Document& doc_;
    std::set<std::string> fonts_;
    std::map<std::string, std::string> styleIds_;  // a look's properties -> its style
    std::string styles_;
};

std::string styles(const std::string& paragraphStyles)
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:styles xmlns:w=\"") + names::kWordMain
           + "\"><w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"" + fonts::kLatinDefault + "\" w:hAnsi=\"" + fonts::kLatinDefault
           + "\" w:eastAsia=\"" + fonts::kChineseDefault + "\" w:cs=\"" + fonts::kLatinDefault + "\"/>" + element("w:sz", "w:val", kDefaultHalfPoints)
           + element("w:szCs", "w:val", kDefaultHalfPoints)
           + "<w:lang w:val=\"en-US\" w:eastAsia=\"zh-CN\" w:bidi=\"ar-SA\"/></w:rPr></w:rPrDefault>"
             "<w:pPrDefault><w:pPr><w:spacing w:after=\"0\" w:line=\"240\" w:lineRule=\"auto\"/></w:pPr></w:pPrDefault></w:docDefaults>"
             "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name w:val=\"Normal\"/><w:qFormat/></w:style>"
             "<w:style w:type=\"character\" w:default=\"1\" w:styleId=\"DefaultParagraphFont\"><w:name w:val=\"Default Paragraph Font\"/>"
             "<w:uiPriority w:val=\"1\"/><w:semiHidden/><w:unhideWhenUsed/></w:style>"
             "<w:style w:type=\"table\" w:default=\"1\" w:styleId=\"TableNormal\"><w:name w:val=\"Normal Table\"/><w:uiPriority w:val=\"99\"/>"
             "<w:semiHidden/><w:unhideWhenUsed/><w:tblPr><w:tblInd w:w=\"0\" w:type=\"dxa\"/><w:tblCellMar>"
           + twips("w:top", 0) + twips("w:left", 108) + twips("w:bottom", 0) + twips("w:right", 108)
           + "</w:tblCellMar></w:tblPr></w:style>" + paragraphStyles + "</w:styles>";
}

std::string settings()
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:settings xmlns:w=\"") + names::kWordMain + "\">"
           + element("w:defaultTabStop", "w:val", kDefaultTabStop)
           + "<w:characterSpacingControl w:val=\"doNotCompress\"/><w:compat><w:compatSetting w:name=\"compatibilityMode\""
             " w:uri=\"http://schemas.microsoft.com/office/word\" w:val=\"15\"/></w:compat>"
             "<w:themeFontLang w:val=\"en-US\" w:eastAsia=\"zh-CN\"/></w:settings>";
}

std::string fontTable(std::set<std::string> used)
{
    used.insert(fonts::kLatinDefault);
    used.insert(fonts::kChineseDefault);
    std::string x = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:fonts xmlns:w=\"") + names::kWordMain + "\">";
    for (const std::string& font : used) {
        x += "<w:font" + attr("w:name", font) + ">";
        if (const char* western = fonts::westernFontName(font)) x += "<w:altName" + attr("w:val", western) + "/>";
        // GB 2312 for Chinese fonts, ANSI for the rest.
        x += std::string("<w:charset w:val=\"") + (fonts::isAsciiName(font) ? "00" : "86") + "\"/>";
        const std::string generic = fonts::genericFamily(font);
        x += "<w:family" + attr("w:val", generic.empty() ? "auto" : generic) + "/><w:pitch w:val=\"variable\"/></w:font>";
    }
    return x + "</w:fonts>";
}

std::string relationships(const std::vector<std::pair<std::string, std::string>>& targets)
{
    std::string x = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships xmlns=\"")
                    + names::kPackageRelationshipsNs + "\">";
    int id = 0;
    for (const auto& [type, target] : targets)
        x += "<Relationship Id=\"rId" + std::to_string(++id) + "\"" + attr("Type", type) + attr("Target", target) + "/>";
    return x + "</Relationships>";
}

std::vector<unsigned char> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

} // namespace

std::vector<unsigned char> write(const Document& document)
{
    DocumentWriter writer(document);
    const std::string body = writer.document();
    const std::string base = names::kRelationshipBase;
    const std::string types =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Types xmlns=\"") + names::kContentTypesNs + "\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/word/document.xml\" ContentType=\"" + names::kDocumentType + "\"/>"
        "<Override PartName=\"/word/styles.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
        "<Override PartName=\"/word/settings.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml\"/>"
        "<Override PartName=\"/word/fontTable.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.fontTable+xml\"/>"
        "<Override PartName=\"/docProps/core.xml\" ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
        "<Override PartName=\"/docProps/app.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/>"
        "</Types>";
    const std::string core =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\""
        " xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\"/>";
    const std::string app =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\"><Application>Lumetra</Application></Properties>";
    return zip::write({
        {"[Content_Types].xml", bytesOf(types)},
        {"_rels/.rels", bytesOf(relationships({{base + "officeDocument", "word/document.xml"},
                                               {"http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties", "docProps/core.xml"},
                                               {base + "extended-properties", "docProps/app.xml"}}))},
        {"word/document.xml", bytesOf(body)},
        {"word/_rels/document.xml.rels",
         bytesOf(relationships({{base + "styles", "styles.xml"}, {base + "settings", "settings.xml"}, {base + "fontTable", "fontTable.xml"}}))},
        {"word/styles.xml", bytesOf(styles(writer.paragraphStyles()))},
        {"word/settings.xml", bytesOf(settings())},
        {"word/fontTable.xml", bytesOf(fontTable(writer.fontsUsed()))},
        {"docProps/core.xml", bytesOf(core)},
        {"docProps/app.xml", bytesOf(app)},
    });
}

} // namespace docfile::ooxml
