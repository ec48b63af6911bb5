// The Word 97-2003 (.doc) reader and writer, as formats.cpp calls them.
#pragma once

#include "docfile/document.h"

#include <vector>

namespace docfile::word97 {

Document read(const unsigned char* data, std::size_t size, ReadReport* report);
std::vector<unsigned char> write(const Document& document);

} // namespace docfile::word97
