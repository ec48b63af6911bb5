// Writing XML as the OpenDocument and Office Open XML writers do: by hand,
// into strings, through the one escaping function both use.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace docfile::xml {

// Text or an attribute value made safe for XML: markup characters as
// entities; characters XML does not allow (controls other than tab and
// line feed, U+FFFE and U+FFFF) left out.
std::string escape(std::string_view text);

// A number as XML formats write them: a full stop for the decimal mark
// whatever the user's locale, at most three decimals, no trailing zeros.
std::string number(double value);

} // namespace docfile::xml
