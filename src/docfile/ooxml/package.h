// An Office Open XML package as the reader sees it: the zip's parts, their
// content types, and the relationships that lead from the package to the
// main document and from there to its styles, theme, headers and the rest.
// Nothing is found by a fixed name: Word's "word/document.xml" is only
// where the relationships usually lead.
#pragma once

#include "docfile/zip.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace docfile::ooxml {

struct Relationship {
    std::string id;
    std::string type;    // the full relationship type URI
    std::string target;  // the part it leads to, resolved ("word/styles.xml"), or an outside address
    bool external = false;
};

class Package {
public:
    // Refuses (docfile::Error) what is no Word document: another kind of
    // package, a macro-enabled document, the strict variant of the format.
    Package(const unsigned char* data, std::size_t size);

    // The main document part's name, as in the zip ("word/document.xml").
    const std::string& mainPart() const { return main_; }

    bool has(const std::string& part) const { return zip_.find(part) != nullptr; }
    // A part's bytes; throws docfile::Error when it is missing or damaged.
    std::vector<unsigned char> read(const std::string& part);
    // The relationships from a part (from its "_rels/NAME.rels"), none if it has none.
    std::vector<Relationship> relationships(const std::string& part);
    // The first internal part related to `part` by a relationship whose
    // type ends in "/" + kind ("styles", "theme", ...).
    std::optional<std::string> related(const std::string& part, const std::string& kind);

private:
    std::string contentType(const std::string& part) const;

    zip::Reader zip_;
    std::map<std::string, std::string> defaults_;   // extension, lower case -> content type
    std::map<std::string, std::string> overrides_;  // part name, lower case, no leading '/' -> content type
    std::string main_;
};

// The part a relationship's target names, seen from the part `source`.
std::string resolvePart(const std::string& source, const std::string& target);

// Whether a relationship type is the transitional or strict one of that kind.
bool isRelationship(const std::string& type, const std::string& kind);
bool isStrictRelationship(const std::string& type);

} // namespace docfile::ooxml
