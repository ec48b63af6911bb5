#include "docfile/ooxml/xmlreader.h"

#include "docfile/bytes.h"
#include "docfile/text.h"

#include <libxml/xmlreader.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace docfile::ooxml {

namespace {

constexpr int kDeepest = 200;  // WordprocessingML nests a few dozen deep at most; libxml2 stops at 256
constexpr std::uint64_t kMostElements = 20'000'000;  // per part

std::string_view view(const std::vector<unsigned char>& bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// What comes before the root element: the XML declaration, comments and
// processing instructions may; a DOCTYPE (or any other markup declaration)
// may not, nor an encoding other than UTF-8.
void checkProlog(std::string_view s, const std::string& part)
{
    if (s.size() >= 2 && ((s[0] == '\xFF' && s[1] == '\xFE') || (s[0] == '\xFE' && s[1] == '\xFF')))
        throw Error("文档的 " + part + " 不是 UTF-8 编码，无法读取");
    std::size_t at = s.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    if (s.substr(at).starts_with("<?xml")) {
        const std::size_t end = s.find("?>", at);
        if (end == std::string_view::npos) damaged(part + " 的 XML 声明不完整");
        const std::string declaration = lower(s.substr(at, end - at));
        const std::size_t encoding = declaration.find("encoding");
        if (encoding != std::string::npos) {
            const std::size_t quote = declaration.find_first_of("\"'", encoding);
            const std::size_t close = quote == std::string::npos ? quote : declaration.find(declaration[quote], quote + 1);
            const std::string name = close == std::string::npos ? "" : declaration.substr(quote + 1, close - quote - 1);
            if (name != "utf-8" && name != "utf8") throw Error("文档的 " + part + " 不是 UTF-8 编码，无法读取");
        }
        at = end + 2;
    }
    for (;;) {
        while (at < s.size() && std::strchr(" \t\r\n", s[at])) ++at;
        const std::string_view rest = s.substr(std::min(at, s.size()));
        if (rest.starts_with("<!--")) {
            const std::size_t end = s.find("-->", at + 4);
            if (end == std::string_view::npos) damaged(part + " 的注释不完整");
            at = end + 3;
        } else if (rest.starts_with("<?")) {
            const std::size_t end = s.find("?>", at + 2);
            if (end == std::string_view::npos) damaged(part + " 的处理指令不完整");
            at = end + 2;
        } else if (rest.starts_with("<!")) {
            throw Error("文档的 " + part + " 含有文档类型声明（DOCTYPE），为安全起见不予读取");
        } else {
            return;
        }
    }
}

// libxml2's first complaint, kept for the refusal instead of printed.
void keepFirst(void* into, xmlErrorPtr error)
{
    auto* message = static_cast<std::string*>(into);
    if (message->empty() && error && error->message) {
        std::string what = error->message;
        while (!what.empty() && (what.back() == '\n' || what.back() == ' ')) what.pop_back();
        *message = "第 " + std::to_string(error->line) + " 行：" + text::forMessage(what, 100);
    }
}

} // namespace

struct XmlReader::Impl {
    xmlTextReaderPtr reader = nullptr;
    std::string error;
};

XmlReader::XmlReader(std::vector<unsigned char> content, std::string part) : bytes_(std::move(content)), impl_(new Impl), part_(text::forMessage(part))
{
    const std::vector<unsigned char>& bytes = bytes_;
    try {
        checkProlog(view(bytes), part_);
        if (bytes.size() > 0x7FFFFFFF) damaged(part_ + " 太大");
        // No network, no DTD loading, entities left as they are (there can
        // be none without a DOCTYPE), libxml2's own messages kept quiet.
        const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
        impl_->reader = xmlReaderForMemory(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()), nullptr,
                                           "UTF-8", options);
        if (!impl_->reader) damaged(part_ + " 无法读取");
        xmlTextReaderSetStructuredErrorHandler(impl_->reader, keepFirst, &impl_->error);
    } catch (...) {
        delete impl_;
        throw;
    }
}

XmlReader::~XmlReader()
{
    if (impl_->reader) xmlFreeTextReader(impl_->reader);
    delete impl_;
}

bool XmlReader::next()
{
    if (pendingEnd_) {
        pendingEnd_ = false;
        kind_ = Kind::End;
        return true;
    }
    xmlTextReaderPtr r = impl_->reader;
    for (;;) {
        const int status = xmlTextReaderRead(r);
        if (status == 0) {
            kind_ = Kind::None;
            return false;
        }
        if (status < 0) damaged(part_ + " 不是格式正确的 XML（" + impl_->error + "）");
        switch (xmlTextReaderNodeType(r)) {
        case XML_READER_TYPE_ELEMENT:
        case XML_READER_TYPE_END_ELEMENT: {
            const bool start = xmlTextReaderNodeType(r) == XML_READER_TYPE_ELEMENT;
            depth_ = xmlTextReaderDepth(r);
            if (depth_ > kDeepest) damaged(part_ + " 的 XML 嵌套得太深");
            if (start && ++elements_ > kMostElements) damaged(part_ + " 的 XML 元素多得不合常理");
            const xmlChar* ns = xmlTextReaderConstNamespaceUri(r);
            const xmlChar* local = xmlTextReaderConstLocalName(r);
            ns_ = ns ? reinterpret_cast<const char*>(ns) : "";
            local_ = local ? reinterpret_cast<const char*>(local) : "";
            kind_ = start ? Kind::Start : Kind::End;
            pendingEnd_ = start && xmlTextReaderIsEmptyElement(r) == 1;
            return true;
        }
        case XML_READER_TYPE_TEXT:
        case XML_READER_TYPE_CDATA:
        case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
        case XML_READER_TYPE_WHITESPACE: {
            const xmlChar* v = xmlTextReaderConstValue(r);
            value_ = v ? reinterpret_cast<const char*>(v) : "";
            depth_ = xmlTextReaderDepth(r) - 1;
            kind_ = Kind::Text;
            return true;
        }
        case XML_READER_TYPE_DOCUMENT_TYPE:
            throw Error("文档的 " + part_ + " 含有文档类型声明（DOCTYPE），为安全起见不予读取");
        case XML_READER_TYPE_ENTITY_REFERENCE:
            damaged(part_ + " 含有未定义的实体");
        default:
            break;  // comments, processing instructions
        }
    }
}

std::optional<std::string> XmlReader::attribute(const char* ns, const char* local) const
{
    if (kind_ != Kind::Start) return std::nullopt;
    xmlChar* v = ns ? xmlTextReaderGetAttributeNs(impl_->reader, reinterpret_cast<const xmlChar*>(local), reinterpret_cast<const xmlChar*>(ns))
                    : xmlTextReaderGetAttribute(impl_->reader, reinterpret_cast<const xmlChar*>(local));
    if (!v) return std::nullopt;
    std::string out(reinterpret_cast<const char*>(v));
    xmlFree(v);
    return out;
}

bool XmlReader::nextChild(int depth)
{
    while (next()) {
        if (isStart()) return true;
        if (isEnd() && depth_ == depth) return false;
    }
    return false;
}

void XmlReader::skip()
{
    if (kind_ != Kind::Start) return;
    const int depth = depth_;
    while (next())
        if (kind_ == Kind::End && depth_ == depth) return;
    damaged(part_ + " 的 XML 不完整");
}

} // namespace docfile::ooxml
