#include "TextEncoding.h"

#include "framework/base/Utf8.h"

namespace rc {

std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& pos)
{
    if (pos >= text.size())
        return std::nullopt;
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int extra;
    char32_t cp;
    char32_t minimum;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
        minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (pos + extra >= text.size())
        return std::nullopt;
    for (int i = 1; i <= extra; ++i) {
        const auto c = static_cast<unsigned char>(text[pos + i]);
        if ((c & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are not text.
    if (cp < minimum || cp > 0x10FFFF || Utf16::IsSurrogate(cp))
        return std::nullopt;
    pos += extra + 1;
    return cp;
}

void AppendUtf16(char32_t cp, std::u16string& out)
{
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        out += Utf16::HighOf(cp);
        out += Utf16::LowOf(cp);
    }
}

std::optional<std::u16string> Utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto cp = DecodeUtf8(text, pos);
        if (!cp)
            return std::nullopt;
        AppendUtf16(*cp, out);
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) { return Utf8::FromUtf16(text); }

}  // namespace rc
