// The file formats the document model is read from and written to, for
// the program's Open and Save As:
//
//   Format::Word97         Word 97-2003 (.doc): read and written
//   Format::OfficeOpenXml  Word 2007 and later (.docx): read and written
//   Format::OpenDocument   OpenDocument text (.odt): written only
//
// readFile() and readBytes() (document.h) tell .doc from .docx by what the
// file holds, never by its name: a .docx renamed .doc opens, and the other
// way round. A file of another kind (an .odt, an encrypted or
// macro-enabled .docx, text) is refused with a reason to show the user.
//
// Saving: writeFile() writes the new file beside the old one and renames
// it into place, so that a write that fails keeps the old file whole.
// Each writer refuses (docfile::Error) a model its format cannot hold; the
// .doc writer's limits are the narrowest (see document.h).
#pragma once

#include "docfile/document.h"

#include <optional>
#include <string>
#include <vector>

namespace docfile {

// What the bytes are, by their content: a compound file is a .doc (or an
// encrypted .docx, which the reader then refuses as such), a zip package
// a .docx unless it says it is an OpenDocument. Nothing for anything else.
std::optional<Format> detectFormat(const unsigned char* data, std::size_t size);

// The format a file name asks for by its extension (".doc", ".docx",
// ".odt", any letter case), for saving under a name the user typed.
std::optional<Format> formatForExtension(const std::string& path);

// The usual extension of each format, with its dot.
const char* extensionOf(Format format);

std::vector<unsigned char> writeBytes(const Document& document, Format format);
void writeFile(const Document& document, const std::string& path, Format format);

} // namespace docfile
