// Conversions between the program's UTF-8 strings and the document's
// UTF-16 and cp1252 text.
#pragma once

#include <string>
#include <string_view>

namespace docfile::text {

// Invalid UTF-8 becomes U+FFFD rather than being dropped silently.
std::u16string utf8ToUtf16(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(std::u16string_view utf16);
// A byte of an 8-bit ("compressed") text piece as the character it stands for.
char16_t fromCp1252(unsigned char byte);
// Whether Word draws this character with the East Asian font of a run.
bool isEastAsian(char16_t unit);
// Text taken from a file (a part's name, a number that is none) made fit
// for a message to the user: valid UTF-8, control characters as '?', at
// most `most` characters, the rest as "…".
std::string forMessage(std::string_view text, std::size_t most = 60);

} // namespace docfile::text
