// Reading what LibreOffice makes of our files: the flat ODF text it
// converts them to, taken apart with plain string searches.
#pragma once

#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace odf {

inline std::string unescapeXml(std::string s)
{
    static const std::vector<std::pair<std::string, std::string>> entities{
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [from, to] : entities)
        for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) s.replace(at, from.size(), to);
    return s;
}

inline std::string stripTags(const std::string& xml)
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
inline std::string odfText(const std::string& xml)
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
inline std::vector<std::pair<std::string, std::string>> odfParagraphs(const std::string& xml)
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

inline std::string odfCellText(const std::string& cell)
{
    std::string text;
    for (const auto& p : odfParagraphs(cell)) text += p.second;
    return text;
}

// The parts of `text` between each `open` (a tag's start) and the matching `close`.
inline std::vector<std::string> elements(const std::string& text, const std::string& open, const std::string& close)
{
    std::vector<std::string> out;
    for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at + 1)) {
        const std::size_t end = text.find(close, at);
        if (end == std::string::npos) break;
        out.push_back(text.substr(at, end - at));
    }
    return out;
}

inline std::string attribute(const std::string& element, const std::string& name)
{
    const std::string key = name + "=\"";
    const std::size_t at = element.find(key);
    if (at == std::string::npos) return "";
    const std::size_t start = at + key.size();
    return element.substr(start, element.find('"', start) - start);
}

inline double twips(const std::string& length)
{
    const double v = std::atof(length.c_str());
    if (length.ends_with("in")) return v * 1440;
    if (length.ends_with("cm")) return v * 1440 / 2.54;
    if (length.ends_with("mm")) return v * 144 / 2.54;
    if (length.ends_with("pt")) return v * 20;
    return NAN;
}

} // namespace odf
