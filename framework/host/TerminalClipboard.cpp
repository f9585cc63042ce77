#include "framework/host/TerminalClipboard.h"

#include "framework/base/String.h"

std::string TerminalClipboard::Base64(std::string_view bytes)
{
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned v = unsigned(static_cast<unsigned char>(bytes[i])) << 16
            | unsigned(static_cast<unsigned char>(bytes[i + 1])) << 8 | static_cast<unsigned char>(bytes[i + 2]);
        out += kDigits[v >> 18];
        out += kDigits[(v >> 12) & 63];
        out += kDigits[(v >> 6) & 63];
        out += kDigits[v & 63];
    }
    if (i < bytes.size()) {
        unsigned v = unsigned(static_cast<unsigned char>(bytes[i])) << 16;
        if (i + 1 < bytes.size())
            v |= unsigned(static_cast<unsigned char>(bytes[i + 1])) << 8;
        out += kDigits[v >> 18];
        out += kDigits[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? kDigits[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string TerminalClipboard::Osc52(std::u16string_view text)
{
    // The text as UTF-8 in base64, ended by BEL, which more terminals take
    // than the string terminator.
    return "\033]52;c;" + Base64(CString(text).ToUtf8()) + "\a";
}
