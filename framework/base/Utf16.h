// UTF-16 code units: the surrogate ranges, and code points above U+FFFF
// split into and joined from surrogate pairs. Header only, so that the
// build tools may use it as well.
#pragma once

#include <cstddef>
#include <string_view>

namespace Utf16 {

constexpr bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
// Either half of a pair: never a character on its own.
constexpr bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// The code point of a valid pair.
constexpr char32_t CodePoint(char16_t high, char16_t low)
{
    return 0x10000 + ((char32_t(high) - 0xD800) << 10) + (char32_t(low) - 0xDC00);
}
// The halves of a code point from U+10000 to U+10FFFF.
constexpr char16_t HighOf(char32_t cp) { return char16_t(0xD800 + ((cp - 0x10000) >> 10)); }
constexpr char16_t LowOf(char32_t cp) { return char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)); }

// The code point at text[i], a valid pair joined, a lone surrogate as
// itself; i moves past it.
constexpr char32_t Next(std::u16string_view text, std::size_t& i)
{
    const char16_t unit = text[i++];
    if (IsHighSurrogate(unit) && i < text.size() && IsLowSurrogate(text[i]))
        return CodePoint(unit, text[i++]);
    return unit;
}

}  // namespace Utf16
