// Conversions between the UTF-8 of source files and the UTF-16 of resource
// texts.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace rc {

// Decodes the code point that starts at text[pos] and advances pos past it.
// Returns nothing (and leaves pos alone) for a malformed sequence.
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& pos);

void AppendUtf16(char32_t codePoint, std::u16string& out);

// Whole-string conversion; malformed input yields nothing.
std::optional<std::u16string> Utf8ToUtf16(std::string_view text);

// For messages and listings; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace rc
