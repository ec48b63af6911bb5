#include "docfile/bytes.h"
#include "docfile/ooxml/package.h"

#include "docfile/document.h"
#include "docfile/ooxml/names.h"
#include "docfile/ooxml/xmlreader.h"
#include "docfile/text.h"

#include <algorithm>
#include <cctype>

namespace docfile::ooxml {

namespace {

std::string lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string withoutSlash(const std::string& name) { return !name.empty() && name[0] == '/' ? name.substr(1) : name; }

} // namespace

std::string resolvePart(const std::string& source, const std::string& target)
{
    std::vector<std::string> parts;
    std::string path = target;
    if (!path.empty() && path[0] == '/') {
        path = path.substr(1);
    } else {
        const std::size_t slash = source.rfind('/');
        if (slash != std::string::npos) path = source.substr(0, slash + 1) + path;
    }
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        const std::string piece = path.substr(start, slash - start);
        if (piece == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!piece.empty() && piece != ".") {
            parts.push_back(piece);
        }
        start = slash + 1;
    }
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : "/") + p;
    return out;
}

bool isRelationship(const std::string& type, const std::string& kind)
{
    const std::string transitional = names::kRelationshipBase + kind, strict = names::kStrictRelationshipBase + kind;
    return type == transitional || type == strict;
}

bool isStrictRelationship(const std::string& type) { return type.rfind(names::kStrictRelationshipBase, 0) == 0; }

Package::Package(const unsigned char* data, std::size_t size) : zip_(data, size)
{
    const zip::Entry* types = zip_.find("[Content_Types].xml");
    if (!types) {
        if (zip_.find("mimetype")) throw Error("这是 OpenDocument 文档，不是 Word 文档");
        throw Error("不是 Word 文档（压缩包中没有 [Content_Types].xml）");
    }
    {
        XmlReader x(zip_.read(*types), "[Content_Types].xml");
        while (x.next()) {
            if (!x.isStart() || x.ns() != names::kContentTypesNs) continue;
            const auto type = x.attribute(nullptr, "ContentType");
            if (x.local() == "Default") {
                if (const auto extension = x.attribute(nullptr, "Extension"); extension && type) defaults_[lower(*extension)] = *type;
            } else if (x.local() == "Override") {
                if (const auto part = x.attribute(nullptr, "PartName"); part && type) overrides_[lower(withoutSlash(*part))] = *type;
            }
        }
    }
    if (!zip_.find("_rels/.rels")) throw Error("不是 Word 文档（压缩包中没有 _rels/.rels）");
    for (const Relationship& r : relationships("")) {
        if (r.external || !isRelationship(r.type, "officeDocument")) continue;
        if (isStrictRelationship(r.type))
            throw Error("这是严格（Strict）格式的 Word 文档，无法打开；请在 Word 中另存为普通的 .docx");
        main_ = r.target;
        break;
    }
    if (main_.empty()) throw Error("不是 Word 文档（压缩包中找不到主文档）");
    const std::string type = contentType(main_);
    if (type == names::kMacroDocumentType || type == names::kMacroTemplateType)
        throw Error("这是启用了宏的 Word 文档（.docm），为安全起见不予打开；请在 Word 中另存为 .docx");
    if (type != names::kDocumentType && type != names::kTemplateType) throw Error("不是 Word 文档（主文档的类型是 " + text::forMessage(type, 100) + "）");
    if (!zip_.find(main_)) damaged("压缩包中缺少主文档 " + text::forMessage(main_));
}

std::string Package::contentType(const std::string& part) const
{
    if (const auto it = overrides_.find(lower(part)); it != overrides_.end()) return it->second;
    const std::size_t dot = part.rfind('.');
    if (dot != std::string::npos && part.find('/', dot) == std::string::npos)
        if (const auto it = defaults_.find(lower(part.substr(dot + 1))); it != defaults_.end()) return it->second;
    return "";
}

std::vector<unsigned char> Package::read(const std::string& part)
{
    const zip::Entry* entry = zip_.find(part);
    if (!entry) damaged("压缩包中缺少 " + text::forMessage(part));
    return zip_.read(*entry);
}

std::vector<Relationship> Package::relationships(const std::string& part)
{
    const std::size_t slash = part.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : part.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? part : part.substr(slash + 1);
    const std::string rels = folder + "_rels/" + name + ".rels";
    std::vector<Relationship> out;
    if (!zip_.find(rels)) return out;
    XmlReader x(read(rels), rels);
    while (x.next()) {
        if (!x.isStart() || !x.is(names::kPackageRelationshipsNs, "Relationship")) continue;
        Relationship r;
        r.id = x.attribute(nullptr, "Id").value_or("");
        r.type = x.attribute(nullptr, "Type").value_or("");
        r.target = x.attribute(nullptr, "Target").value_or("");
        r.external = x.attribute(nullptr, "TargetMode").value_or("") == "External";
        if (!r.external) r.target = resolvePart(part, r.target);
        out.push_back(std::move(r));
    }
    return out;
}

std::optional<std::string> Package::related(const std::string& part, const std::string& kind)
{
    for (const Relationship& r : relationships(part))
        if (!r.external && isRelationship(r.type, kind) && zip_.find(r.target)) return r.target;
    return std::nullopt;
}

} // namespace docfile::ooxml
