#include "framework/base/SafeText.h"

#include "framework/base/Utf8.h"

namespace {

bool Reorders(char32_t cp)
{
    return (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069) || cp == 0x200E || cp == 0x200F
        || cp == 0x061C;
}

// How many bytes at the start of s are kept as they stand (0: escape the
// first byte).
std::size_t KeptLength(std::string_view s)
{
    const unsigned char c = static_cast<unsigned char>(s[0]);
    if (c < 0x80)
        return c >= 0x20 && c != 0x7F && c != '\\' ? 1 : 0;
    const std::size_t length = Utf8::SequenceLength(s);
    if (length == 0)
        return 0;
    const char32_t cp = Utf8::CodePoint(s, length);
    return cp <= 0x9F || Reorders(cp) ? 0 : length;
}

// Hands the safe form to put, piece by piece, until put says no.
template <typename Put>
void Escape(std::string_view bytes, Put put)
{
    static constexpr char kHex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t kept = KeptLength(bytes.substr(i));
        if (kept > 0) {
            if (!put(bytes.data() + i, kept))
                return;
            i += kept;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        // A reordering character is escaped whole, every byte of it.
        std::size_t run = c >= 0x80 ? Utf8::SequenceLength(bytes.substr(i)) : 1;
        if (run == 0)
            run = 1;
        for (std::size_t k = 0; k < run; ++k) {
            const unsigned char b = static_cast<unsigned char>(bytes[i + k]);
            const char escape[4] = {'\\', 'x', kHex[b >> 4], kHex[b & 0xF]};
            const bool ok = b == '\\' ? put("\\\\", 2) : put(escape, 4);
            if (!ok)
                return;
        }
        i += run;
    }
}

}  // namespace

std::string SafeText(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    Escape(bytes, [&](const char* p, std::size_t n) {
        out.append(p, n);
        return true;
    });
    return out;
}

std::size_t SafeTextInto(std::string_view bytes, char* out, std::size_t room) noexcept
{
    if (room == 0)
        return 0;
    std::size_t fill = 0;
    Escape(bytes, [&](const char* p, std::size_t n) {
        if (n >= room - fill)
            return false;
        for (std::size_t k = 0; k < n; ++k)
            out[fill++] = p[k];
        return true;
    });
    out[fill] = '\0';
    return fill;
}
