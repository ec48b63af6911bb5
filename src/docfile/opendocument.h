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

// Throws docfile::Error when the file cannot be written.
std::vector<unsigned char> writeOpenDocumentBytes(const Document& document);
void writeOpenDocumentFile(const Document& document, const std::string& path);

} // namespace docfile
