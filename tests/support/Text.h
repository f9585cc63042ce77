// Conversions and a readable form of UTF-16 text, for building expected
// values and failure messages.
#pragma once

#include <string>
#include <string_view>

namespace support {

std::u16string U16(std::string_view utf8);
std::string U8(std::u16string_view text);
// Each byte as the character of that value, as an 8-bit text file reads.
std::u16string Widened(std::string_view bytes);
// The text with line ends and tabs as \r, \n, \t, other printable ASCII as
// is, and everything else (the backslash too, so nothing is ambiguous) as
// \uXXXX.
std::string Show(std::u16string_view text);

}  // namespace support
