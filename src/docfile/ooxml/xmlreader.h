// The XML parts of a package read one node at a time through libxml2's
// streaming reader, safely whatever the file: no network, no DTD, no
// entities (a part with a DOCTYPE is refused before libxml2 sees it, so an
// external entity is never even looked at), UTF-8 only, nesting and
// element counts bounded. Empty elements come as a start and an end, like
// any other, so that readers need not tell them apart.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace docfile::ooxml {

class XmlReader {
public:
    // Throws docfile::Error when the part declares a DOCTYPE or an
    // encoding other than UTF-8. The reader keeps the bytes: libxml2
    // reads them where they are.
    XmlReader(std::vector<unsigned char> bytes, std::string part);
    ~XmlReader();
    XmlReader(const XmlReader&) = delete;
    XmlReader& operator=(const XmlReader&) = delete;

    // Moves to the next start tag, end tag or text; false after the last.
    // Throws docfile::Error where the XML is not well-formed.
    bool next();

    // Inside the element whose start tag was at `depth`: moves to the next
    // start tag within it (a child, or deeper where the caller did not skip
    // one); false at the element's end tag or the part's end.
    bool nextChild(int depth);

    bool isStart() const { return kind_ == Kind::Start; }
    bool isEnd() const { return kind_ == Kind::End; }
    bool isText() const { return kind_ == Kind::Text; }
    // A start or end tag of that namespace and local name.
    bool is(const char* ns, std::string_view local) const { return kind_ != Kind::Text && ns_ == ns && local_ == local; }
    const std::string& ns() const { return ns_; }
    const std::string& local() const { return local_; }
    // The text of a text node.
    const std::string& value() const { return value_; }
    // Depth of the element (the root is 0), for a start tag, its end tag
    // and the text directly inside it.
    int depth() const { return depth_; }

    // An attribute of the start tag: by namespace and local name, or
    // (ns nullptr) an attribute without a namespace.
    std::optional<std::string> attribute(const char* ns, const char* local) const;

    // From a start tag, moves to its end tag.
    void skip();

    const std::string& part() const { return part_; }

private:
    enum class Kind { None, Start, End, Text };
    struct Impl;
    std::vector<unsigned char> bytes_;
    Impl* impl_;
    std::string part_;
    Kind kind_ = Kind::None;
    std::string ns_, local_, value_;
    int depth_ = 0;
    bool pendingEnd_ = false;  // an empty element's end, still to come
    std::uint64_t elements_ = 0;
};

} // namespace docfile::ooxml
