// The names an Office Open XML package is made of: namespaces, content
// types and relationship types, shared by the reader and the writer.
#pragma once

namespace docfile::ooxml::names {

constexpr const char* kWordMain = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char* kWordStrict = "http://purl.oclc.org/ooxml/wordprocessingml/main";
constexpr const char* kRelationshipsNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kDrawingMain = "http://schemas.openxmlformats.org/drawingml/2006/main";
constexpr const char* kCompatibility = "http://schemas.openxmlformats.org/markup-compatibility/2006";
constexpr const char* kXmlNs = "http://www.w3.org/XML/1998/namespace";
constexpr const char* kContentTypesNs = "http://schemas.openxmlformats.org/package/2006/content-types";
constexpr const char* kPackageRelationshipsNs = "http://schemas.openxmlformats.org/package/2006/relationships";

constexpr const char* kDocumentType = "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
constexpr const char* kTemplateType = "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml";
constexpr const char* kMacroDocumentType = "application/vnd.ms-word.document.macroEnabled.main+xml";
constexpr const char* kMacroTemplateType = "application/vnd.ms-word.template.macroEnabledTemplate.main+xml";

// Relationship types end in these names, under the transitional base
// (".../officeDocument/2006/relationships/") or the strict one.
constexpr const char* kRelationshipBase = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
constexpr const char* kStrictRelationshipBase = "http://purl.oclc.org/ooxml/officeDocument/relationships/";

} // namespace docfile::ooxml::names
