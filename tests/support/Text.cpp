#include "tests/support/Text.h"

#include <cstdio>

#include "framework/base/String.h"

namespace support {

std::u16string U16(std::string_view utf8) { return CString::FromUtf8(utf8).Str(); }

std::string U8(std::u16string_view text) { return CString(text).ToUtf8(); }

std::u16string Widened(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (char b : bytes)
        out += char16_t(static_cast<unsigned char>(b));
    return out;
}

std::string Show(std::u16string_view text)
{
    std::string out;
    for (char16_t c : text) {
        if (c == u'\r' || c == u'\n' || c == u'\t') {
            out += c == u'\r' ? "\\r" : c == u'\n' ? "\\n" : "\\t";
        } else if (c >= 0x20 && c < 0x7F && c != u'\\') {
            out += char(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", unsigned(c));
            out += buf;
        }
    }
    return out;
}

}  // namespace support
