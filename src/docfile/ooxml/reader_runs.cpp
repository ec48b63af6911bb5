// A paragraph's runs: their text, tabs, breaks and symbols, with the look
// worked out from the document's defaults, the paragraph's style, a
// character style and the run's own properties; fields, revisions,
// hyperlinks and content controls read through to the text Word shows.
#include "docfile/bytes.h"
#include "docfile/fonts.h"
#include "docfile/ooxml/body.h"
#include "docfile/ooxml/names.h"
#include "docfile/symbols.h"
#include "docfile/text.h"

#include <algorithm>
#include <cstdlib>

namespace docfile::ooxml {

using names::kCompatibility;
using names::kWordMain;

namespace {

constexpr int kLatin = 0, kOther = 1, kEastAsian = 2;  // which of a run's fonts a character takes

// Characters that Latin and Chinese text share (quotation marks, dashes,
// the ellipsis, symbols), which a run marked as East Asian draws in its
// East Asian font.
bool sharedPunctuation(char16_t c)
{
    return c == 0x00A7 || c == 0x00A8 || c == 0x00B0 || c == 0x00B1 || c == 0x00B7 || c == 0x00D7 || c == 0x00F7
        || (c >= 0x2000 && c <= 0x206F) || (c >= 0x2100 && c <= 0x23FF) || (c >= 0x2460 && c <= 0x27BF);
}

} // namespace

void BodyReader::Runs::add(char16_t c, const Run& look)
{
    if (runs->empty() || !(runs->back() == look)) {
        flush();
        runs->push_back(look);
    }
    pending += c;
}

void BodyReader::Runs::flush()
{
    if (!runs->empty() && !pending.empty()) runs->back().text += text::utf16ToUtf8(pending);
    pending.clear();
}

Paragraph BodyReader::paragraph()
{
    Paragraph out;
    RunProps mark;
    ParagraphProps direct;
    ParagraphContext context{styles_.paragraphRun(""), {&out.runs, {}}};
    const int depth = x_.depth();
    bool styled = false;
    while (x_.nextChild(depth)) {
        if (x_.is(kWordMain, "pPr") && !styled) {
            direct = readParagraphProps(x_, &mark, [this](XmlReader& x) { section(x); });
            context.base = styles_.paragraphRun(direct.style.value_or(""));
            styled = true;
            continue;
        }
        // The properties come first; content after them is read as content.
        styled = true;
        if (x_.is(kWordMain, "r")) run(context);
        else inlineContent(context);
    }
    context.runs.flush();
    ParagraphProps props = styles_.paragraph(direct.style.value_or(""));
    props.then(direct);
    if (props.numbered.value_or(false)) report_.add("项目符号或编号");
    out.alignment = props.alignment.value_or(0);
    out.firstLineIndent = props.firstLine.value_or(0);
    if (props.firstLineChars) {
        // Hundredths of a character of the paragraph's own size.
        const int halfPoints = context.base.halfPoints.value_or(20);
        out.firstLineIndent = std::clamp(*props.firstLineChars * halfPoints / 10, -31680, 31680);
    }
    if (out.runs.empty()) {
        // An empty paragraph keeps the look of its mark: its height.
        RunProps look = context.base;
        if (mark.style) look.then(styles_.characterRun(*mark.style));
        look.then(mark);
        if (look.underline.value_or(false) && look.otherUnderline) report_.add("双线、点线等下划线（已读作单下划线）");
        out.mark = this->look(look, kEastAsian);
    }
    return out;
}

// Inline content other than runs: what holds runs (hyperlinks, content
// controls, insertions, simple fields) is read through; what the model
// cannot hold is reported and passed over.
void BodyReader::inlineContent(ParagraphContext& p)
{
    const std::string name = x_.local();
    const int depth = x_.depth();
    auto through = [&] {
        while (x_.nextChild(depth)) {
            if (x_.is(kWordMain, "r")) run(p);
            else inlineContent(p);
        }
    };
    if (x_.ns() == kWordMain) {
        if (name == "hyperlink") {
            report_.add("超链接（只保留了文字）");
            through();
            return;
        }
        if (name == "fldSimple") {
            report_.add("域（只保留了显示的结果）");
            through();
            return;
        }
        if (name == "sdt" || name == "sdtContent" || name == "smartTag" || name == "customXml" || name == "dir" || name == "bdo") {
            through();
            return;
        }
        if (name == "ins" || name == "moveTo") {
            report_.add("修订记录（按接受修订后的样子读出）");
            through();
            return;
        }
        if (name == "del" || name == "moveFrom") report_.add("修订记录（按接受修订后的样子读出）");
        if (name == "commentRangeStart") report_.add("批注");
    } else if (x_.ns() == kCompatibility && (name == "AlternateContent" || name == "Fallback")) {
        if (name == "Fallback" || fallbackOnly()) through();
        return;
    } else if (name == "oMath" || name == "oMathPara") {
        report_.add("公式");
    }
    x_.skip();
}

void BodyReader::run(ParagraphContext& p)
{
    RunProps props = p.base;
    const int depth = x_.depth();
    while (x_.nextChild(depth)) {
        const std::string& name = x_.local();
        if (x_.ns() == kCompatibility && (name == "AlternateContent" || name == "Fallback")) {
            // Alternate content inside a run holds run content: a picture
            // and its fallback, mostly. Its text, if any, is read below.
            if (name == "AlternateContent" && !fallbackOnly()) continue;
            report_.add("图片或图形");
            x_.skip();
            continue;
        }
        if (x_.ns() != kWordMain) {
            x_.skip();
            continue;
        }
        if (name == "rPr") {
            const RunProps direct = readRunProps(x_);
            if (direct.style) props.then(styles_.characterRun(*direct.style));
            props.then(direct);
            continue;
        }
        if (name == "fldChar") {
            field(x_.attribute(kWordMain, "fldCharType").value_or(""));
        } else if (hiddenFields_ > 0) {
            // Inside a field's code: nothing shows.
        } else if (name == "t") {
            const bool preserve = x_.attribute(names::kXmlNs, "space").value_or("") == "preserve";
            std::string content;
            const int at = x_.depth();
            while (x_.next() && !(x_.isEnd() && x_.depth() == at))
                if (x_.isText()) content += x_.value();
                else if (x_.isStart()) x_.skip();
            if (!preserve) {
                // Without xml:space="preserve" spaces around the text are not the text's.
                const std::size_t first = content.find_first_not_of(" \t\r\n");
                content = first == std::string::npos ? "" : content.substr(first, content.find_last_not_of(" \t\r\n") - first + 1);
            }
            for (char& c : content)
                if (c == '\r' || c == '\n' || c == '\t') c = ' ';
            text(content, props, p);
            continue;
        } else if (name == "tab" || name == "ptab") {
            text("\t", props, p);
        } else if (name == "br" || name == "cr") {
            const std::string type = x_.attribute(kWordMain, "type").value_or("textWrapping");
            if (type == "page") report_.add("分页符");
            else if (type == "column") report_.add("分栏符");
            else text("\n", props, p);
        } else if (name == "noBreakHyphen") {
            text("\u2011", props, p);
        } else if (name == "sym") {
            const std::string font = x_.attribute(kWordMain, "font").value_or("");
            const auto code = static_cast<std::uint16_t>(std::strtoul(x_.attribute(kWordMain, "char").value_or("0").c_str(), nullptr, 16));
            const symbols::Character s = symbols::fromSymbolFont(font, code);
            RunProps own = props;
            if (!s.mapped) own.ascii = own.hAnsi = own.eastAsia = FontChoice{font, ""};
            text(text::utf16ToUtf8(std::u16string(1, s.unit)), own, p);
        } else if (name == "drawing" || name == "pict" || name == "object") {
            report_.add("图片或图形");
        } else if (name == "footnoteReference") {
            report_.add("脚注");
        } else if (name == "endnoteReference") {
            report_.add("尾注");
        } else if (name == "commentReference") {
            report_.add("批注");
        }
        x_.skip();
    }
}

// Fields: the code between begin and separator is dropped, the result
// shown between separator and end is kept.
void BodyReader::field(const std::string& type)
{
    if (type == "begin") {
        report_.add("域（只保留了显示的结果）");
        if (fields_.size() > 256) damaged("域嵌套得太深");
        fields_.push_back(false);
        ++hiddenFields_;
    } else if (type == "separate") {
        if (!fields_.empty() && !fields_.back()) {
            fields_.back() = true;
            --hiddenFields_;
        }
    } else if (type == "end" && !fields_.empty()) {
        if (!fields_.back()) --hiddenFields_;
        fields_.pop_back();
    }
}

void BodyReader::text(const std::string& utf8, const RunProps& props, ParagraphContext& p)
{
    if (utf8.empty()) return;
    if (props.underline.value_or(false) && props.otherUnderline) report_.add("双线、点线等下划线（已读作单下划线）");
    const Run looks[] = {look(props, kLatin), look(props, kOther), look(props, kEastAsian)};
    const bool hint = props.eastAsiaHint.value_or(false);
    for (char16_t c : text::utf8ToUtf16(utf8)) {
        if (c < 0x20 && c != u'\t' && c != u'\n') continue;
        int slot = c < 0x80 ? kLatin : kOther;
        if (text::isEastAsian(c) || (hint && sharedPunctuation(c))) slot = kEastAsian;
        p.runs.add(c, looks[slot]);
    }
}

std::string BodyReader::fontName(const std::optional<FontChoice>& choice, bool eastAsian) const
{
    std::string name;
    if (choice) name = choice->theme.empty() ? choice->name : theme_.face(choice->theme);
    // The model always names the font: the fonts an empty name means to the writers.
    if (name.empty()) name = eastAsian ? fonts::kChineseDefault : fonts::kLatinDefault;
    return name;
}

Run BodyReader::look(const RunProps& props, int slot) const
{
    Run r;
    const std::optional<FontChoice>& choice = slot == kEastAsian ? props.eastAsia : slot == kLatin ? props.ascii : props.hAnsi;
    r.font = fontName(choice, slot == kEastAsian);
    r.size = props.halfPoints.value_or(20) / 2.0;
    r.bold = props.bold.value_or(false);
    r.italic = props.italic.value_or(false);
    r.underline = props.underline.value_or(false);
    r.colour = props.colour.value_or(kAutomaticColour);
    return r;
}

} // namespace docfile::ooxml
