// Reading a .docx into the model: the package and the parts the main
// document leads to (styles, theme, settings), then the body's blocks and
// the first section's page. Paragraphs and runs are read in
// reader_runs.cpp, tables in reader_tables.cpp.
#include "docfile/bytes.h"
#include "docfile/ooxml/body.h"
#include "docfile/ooxml/names.h"
#include "docfile/ooxml/ooxml.h"

#include <cstdlib>

namespace docfile::ooxml {

using names::kCompatibility;
using names::kWordMain;

const char* const kEncrypted = "文档受密码保护或已加密，无法打开";

namespace {

// The theme's script tag for the East Asian language of the settings.
std::string scriptOf(const std::string& language)
{
    if (language == "zh-TW" || language == "zh-HK" || language == "zh-MO") return "Hant";
    if (language.rfind("ja", 0) == 0) return "Jpan";
    if (language.rfind("ko", 0) == 0) return "Hang";
    return "Hans";
}

} // namespace

BodyReader::BodyReader(XmlReader& x, const StyleSheet& styles, const ThemeFonts& theme, Package& package, Reporter& report)
    : x_(x), styles_(styles), theme_(theme), package_(package), report_(report)
{
    for (const Relationship& r : package.relationships(package.mainPart()))
        if (!r.external) relationships_[r.id] = r.target;
}

Document BodyReader::read()
{
    if (!x_.next() || !x_.isStart()) damaged("主文档是空的");
    if (x_.ns() == names::kWordStrict) throw Error("这是严格（Strict）格式的 Word 文档，无法打开；请在 Word 中另存为普通的 .docx");
    if (!x_.is(kWordMain, "document")) throw Error("不是 Word 文档（主文档的根元素不对）");
    while (x_.next()) {
        if (x_.isStart() && x_.is(kWordMain, "body")) {
            blocks({&doc_.blocks, nullptr});
            break;
        }
    }
    if (sections_ > 1) report_.add("多个分节（只保留了第一节的页面设置）");
    // Word needs a paragraph after a closing table; the model does not.
    auto& b = doc_.blocks;
    if (b.size() >= 2 && std::holds_alternative<Table>(b[b.size() - 2]))
        if (const auto* last = std::get_if<Paragraph>(&b.back()); last && last->runs.empty()) b.pop_back();
    return std::move(doc_);
}

// Block content up to the end of the element the reader stands in.
void BodyReader::blocks(Blocks into)
{
    const int depth = x_.depth();
    while (x_.nextChild(depth))
        blockElement(into);
}

// The block-level element the reader stands on, read to its end.
void BodyReader::blockElement(Blocks into)
{
    if (x_.is(kWordMain, "p")) {
        Paragraph p = paragraph();
        if (into.cell) into.cell->paragraphs.push_back(std::move(p));
        else into.blocks->emplace_back(std::move(p));
    } else if (x_.is(kWordMain, "tbl")) {
        Table t = table();
        if (!into.cell) {
            into.blocks->emplace_back(std::move(t));
            return;
        }
        // A table inside a cell: its paragraphs join the outer cell.
        report_.add("嵌套表格（已展开为所在单元格的文字）");
        for (Row& r : t.rows)
            for (Cell& c : r.cells)
                for (Paragraph& p : c.paragraphs) into.cell->paragraphs.push_back(std::move(p));
    } else if (x_.is(kWordMain, "sectPr")) {
        section(x_);
    } else {
        containerContent(into);
    }
}

// Elements that hold content of their parent's kind: content controls,
// custom XML, insertions, and the fallback of alternate content. Other
// elements are passed over whole.
void BodyReader::containerContent(Blocks into)
{
    const std::string& name = x_.local();
    if (x_.ns() == kWordMain) {
        if (name == "sdt" || name == "sdtContent" || name == "customXml" || name == "smartTag" || name == "ins" || name == "moveTo") {
            if (name == "ins" || name == "moveTo") report_.add("修订记录（按接受修订后的样子读出）");
            blocks(into);
            return;
        }
        if (name == "del" || name == "moveFrom") report_.add("修订记录（按接受修订后的样子读出）");
        else if (name == "altChunk") report_.add("嵌入的其他文档");
    } else if (x_.ns() == kCompatibility && (name == "AlternateContent" || name == "Fallback")) {
        if (name == "Fallback" || fallbackOnly()) blocks(into);
        return;
    }
    x_.skip();
}

// In alternate content only the fallback is read: the choices need
// features this reader does not claim to know. From the AlternateContent's
// start tag, passes over the choices to the Fallback's start tag (true), or
// to the AlternateContent's end when there is no fallback (false).
bool BodyReader::fallbackOnly()
{
    const int depth = x_.depth();
    while (x_.nextChild(depth)) {
        if (x_.is(kCompatibility, "Fallback")) return true;
        x_.skip();
    }
    return false;
}

void BodyReader::section(XmlReader& x)
{
    const bool first = sections_++ == 0;
    Section& s = doc_.section;
    const int depth = x.depth();
    while (x.nextChild(depth)) {
        if (x.ns() != kWordMain) continue;
        const std::string& name = x.local();
        auto length = [&](const char* attribute, std::int32_t& into, std::int32_t low) {
            if (auto v = x.attribute(kWordMain, attribute)) into = parseTwips(*v, low, 31680, "页面设置");
        };
        if ((name == "headerReference" || name == "footerReference") && first) {
            if (auto id = x.attribute(names::kRelationshipsNs, "id")) checkHeaderOrFooter(*id);
        } else if (name == "pgSz" && first) {
            length("w", s.pageWidth, 1);
            length("h", s.pageHeight, 1);
        } else if (name == "pgMar" && first) {
            length("top", s.marginTop, -31680);
            length("bottom", s.marginBottom, -31680);
            // A negative top or bottom margin is kept even where a header would push it.
            s.marginTop = std::abs(s.marginTop);
            s.marginBottom = std::abs(s.marginBottom);
            length("left", s.marginLeft, 0);
            length("right", s.marginRight, 0);
            length("header", s.headerDistance, 0);
            length("footer", s.footerDistance, 0);
        } else if (name == "vAlign" && first) {
            const std::string v = x.attribute(kWordMain, "val").value_or("top");
            s.verticalAlignment = v == "center" ? 1 : v == "bottom" ? 3 : 0;
            if (v == "both") report_.add("页面内容的垂直两端对齐");
        }
        x.skip();
    }
}

// Headers and footers count only when they show something.
void BodyReader::checkHeaderOrFooter(const std::string& id)
{
    const auto it = relationships_.find(id);
    if (it == relationships_.end() || !package_.has(it->second)) return;
    XmlReader part(package_.read(it->second), it->second);
    bool inText = false;
    while (part.next()) {
        if (part.is(kWordMain, "t")) {
            inText = part.isStart();
        } else if ((part.isStart() && (part.is(kWordMain, "drawing") || part.is(kWordMain, "pict")))
                   || (part.isText() && inText && part.value().find_first_not_of(" \t\r\n") != std::string::npos)) {
            report_.add("页眉或页脚");
            return;
        }
    }
}

Document read(const unsigned char* data, std::size_t size, ReadReport* report)
{
    if (size >= 8 && data[0] == 0xD0 && data[1] == 0xCF) throw Error(kEncrypted);
    Package package(data, size);
    Reporter reporter;
    const std::string& main = package.mainPart();

    // The East Asian language the theme's fonts are chosen for.
    std::string language = "zh-CN";
    if (const auto settings = package.related(main, "settings")) {
        XmlReader x(package.read(*settings), *settings);
        while (x.next())
            if (x.isStart() && x.is(kWordMain, "themeFontLang")) language = x.attribute(kWordMain, "eastAsia").value_or(language);
    }
    ThemeFonts theme;
    if (const auto part = package.related(main, "theme")) {
        XmlReader x(package.read(*part), *part);
        theme = readTheme(x, scriptOf(language));
    }
    StyleSheet styles;
    if (const auto part = package.related(main, "styles")) {
        XmlReader x(package.read(*part), *part);
        styles.read(x);
    }
    XmlReader x(package.read(main), main);
    Document doc = BodyReader(x, styles, theme, package, reporter).read();
    if (report) report->dropped = reporter.take();
    return doc;
}

} // namespace docfile::ooxml
