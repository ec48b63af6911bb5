// Characters of symbol fonts (Symbol, Wingdings and the like), which a
// document names by font and code rather than by Unicode character.
#pragma once

#include <cstdint>
#include <string_view>

namespace docfile::symbols {

// The character a symbol font's code stands for. Codes may come as the
// font's own byte (0x20-0xFF) or in the private-use block U+F020-U+F0FF
// that Word and LibreOffice use for them. The Symbol font's characters
// become the Unicode characters they show (0xB0 the degree sign, 0x61
// alpha, ...); a code of another font, or one of Symbol's without a
// Unicode equal, stays as U+F000 + code, which shows as intended only in
// that font: `mapped` says which happened.
struct Character {
    char16_t unit;
    bool mapped;
};
Character fromSymbolFont(std::string_view fontName, std::uint16_t code);

} // namespace docfile::symbols
