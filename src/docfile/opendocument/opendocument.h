// The document model written as an OpenDocument text (.odt), for those who
// keep their files in LibreOffice's own format. What the model holds is
// written so that LibreOffice lays it out as the .doc of the same model:
// the page, the fonts for Chinese and Latin text alike, and the tables cell
// for cell.
#pragma once

#include "docfile/document.h"

#include <cstdint>
#include <string>
#include <vector>

namespace docfile {

// Throws docfile::Error when the file cannot be written. The file is
// written beside the old one and renamed into place (see formats.h).
std::vector<unsigned char> writeOpenDocumentBytes(const Document& document);
void writeOpenDocumentFile(const Document& document, const std::string& path);

// Font names as the CSS font-family list svg:font-family holds: separated
// by commas, each a bare identifier or quoted ("黑体, SimHei",
// "'Times New Roman'").
std::string fontFamilyList(const std::vector<std::string>& names);

} // namespace docfile
