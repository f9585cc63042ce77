// UTF-8 byte sequences: how long the well-formed one at the start of some
// bytes is, its code point; a code point and UTF-16 text encoded. Header
// only, so that the build tools may use it as well.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "framework/base/Utf16.h"

namespace Utf8 {

// The length of the well-formed sequence at the start of s (1 to 4), or 0
// when s does not start with one: a stray continuation byte, an overlong
// form, a surrogate, a code point above U+10FFFF or a cut sequence.
constexpr std::size_t SequenceLength(std::string_view s) noexcept
{
    if (s.empty())
        return 0;
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    auto trail = [&](std::size_t i, unsigned char low = 0x80, unsigned char high = 0xBF) {
        return i < s.size() && byte(i) >= low && byte(i) <= high;
    };
    const unsigned char c = byte(0);
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return trail(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned char low = c == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = c == 0xED ? 0x9F : 0xBF;
        return trail(1, low, high) && trail(2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned char low = c == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = c == 0xF4 ? 0x8F : 0xBF;
        return trail(1, low, high) && trail(2) && trail(3) ? 4 : 0;
    }
    return 0;
}

// The code point of a well-formed sequence of length bytes at the start of s.
constexpr char32_t CodePoint(std::string_view s, std::size_t length) noexcept
{
    constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t cp = static_cast<unsigned char>(s[0]) & kLeadMask[length];
    for (std::size_t i = 1; i < length; ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
    return cp;
}

// Appends the code point (at most U+10FFFF, no surrogate) encoded.
inline void Append(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// UTF-16 text encoded; a surrogate that is not half of a pair becomes
// U+FFFD.
inline std::string FromUtf16(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (Utf16::IsHighSurrogate(cp) && i + 1 < text.size() && Utf16::IsLowSurrogate(text[i + 1])) {
            cp = Utf16::CodePoint(text[i], text[i + 1]);
            ++i;
        } else if (Utf16::IsSurrogate(cp)) {
            cp = 0xFFFD;
        }
        Append(out, cp);
    }
    return out;
}

}  // namespace Utf8
