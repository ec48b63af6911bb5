// The Office Open XML (WordprocessingML, .docx) reader and writer, as
// formats.cpp calls them.
#pragma once

#include "docfile/document.h"

#include <vector>

namespace docfile::ooxml {

Document read(const unsigned char* data, std::size_t size, ReadReport* report);
std::vector<unsigned char> write(const Document& document);

// The reason an encrypted .docx (a compound file holding the encrypted
// package) is refused with.
extern const char* const kEncrypted;

} // namespace docfile::ooxml
