#include "framework/base/Utf8Codec.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "framework/base/Utf16.h"

namespace Utf8Codec {

namespace {

// What starts at a byte 0x80 or above: a well-formed sequence of length
// bytes (2 to 4), or none (length 0); cut when the bytes end inside what
// more bytes could still make well-formed. The same rule as
// Utf8::SequenceLength.
struct Sequence {
    std::size_t length = 0;
    bool cut = false;
};

inline Sequence Classify(const unsigned char* p, std::size_t available)
{
    const unsigned char lead = p[0];
    std::size_t length;
    // The second byte's range; the later ones are always 0x80 to 0xBF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // shorter forms are overlong
        high = lead == 0xED ? 0x9F : 0xBF;  // U+D800 to U+DFFF are no characters
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;   // overlong
        high = lead == 0xF4 ? 0x8F : 0xBF;  // above U+10FFFF
    } else {
        return {};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (i == available)
            return {0, true};
        if (p[i] < low || p[i] > high)
            return {};
        low = 0x80;
        high = 0xBF;
    }
    return {length, false};
}

inline char32_t CodePointOf(const unsigned char* p, std::size_t length)
{
    switch (length) {
    case 2: return (char32_t(p[0] & 0x1F) << 6) | (p[1] & 0x3F);
    case 3: return (char32_t(p[0] & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
    default:
        return (char32_t(p[0] & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) | (char32_t(p[2] & 0x3F) << 6)
            | (p[3] & 0x3F);
    }
}

inline std::size_t PutCodePoint(char32_t cp, unsigned char* out)
{
    if (cp < 0x80) {
        out[0] = static_cast<unsigned char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | (cp >> 6));
        out[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<unsigned char>(0xE0 | (cp >> 12));
        out[1] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<unsigned char>(0xF0 | (cp >> 18));
    out[1] = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    return 4;
}

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

Decoded Decode(const unsigned char* bytes, std::size_t count, char16_t* units, bool atEnd) noexcept
{
    std::size_t i = 0;
    std::size_t w = 0;
    while (i < count) {
        if (bytes[i] < 0x80) {
            // A run of ASCII: each byte its unit.
#if defined(__SSE2__)
            const __m128i zero = _mm_setzero_si128();
            while (i + 16 <= count) {
                const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
                if (_mm_movemask_epi8(b) != 0)
                    break;
                _mm_storeu_si128(reinterpret_cast<__m128i*>(units + w), _mm_unpacklo_epi8(b, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(units + w + 8), _mm_unpackhi_epi8(b, zero));
                i += 16;
                w += 16;
            }
#endif
            while (i < count && bytes[i] < 0x80)
                units[w++] = bytes[i++];
            continue;
        }
        // The common forms first: two bytes (Latin, Greek, Cyrillic, ...)
        // and three bytes whose lead needs no narrower second byte (most
        // of the rest of the first plane, CJK among it).
        const unsigned char lead = bytes[i];
        if (lead >= 0xC2 && lead <= 0xDF && i + 1 < count && (bytes[i + 1] & 0xC0) == 0x80) {
            units[w++] = static_cast<char16_t>(((lead & 0x1F) << 6) | (bytes[i + 1] & 0x3F));
            i += 2;
            continue;
        }
        if (lead >= 0xE1 && lead <= 0xEF && lead != 0xED && i + 2 < count && (bytes[i + 1] & 0xC0) == 0x80
            && (bytes[i + 2] & 0xC0) == 0x80) {
            units[w++]
                = static_cast<char16_t>(((lead & 0x0F) << 12) | ((bytes[i + 1] & 0x3F) << 6) | (bytes[i + 2] & 0x3F));
            i += 3;
            continue;
        }
        const Sequence s = Classify(bytes + i, count - i);
        if (s.length == 0) {
            if (s.cut && !atEnd)
                break;  // the next bytes may complete it
            units[w++] = KeptByte(bytes[i++]);
            continue;
        }
        const char32_t cp = CodePointOf(bytes + i, s.length);
        i += s.length;
        if (cp >= 0x10000) {
            units[w++] = Utf16::HighOf(cp);
            units[w++] = Utf16::LowOf(cp);
        } else {
            units[w++] = static_cast<char16_t>(cp);
        }
    }
    return {i, w};
}

std::size_t Encoder::Encode(const char16_t* units, std::size_t count, unsigned char* out) noexcept
{
    std::size_t i = 0;
    std::size_t w = 0;
    if (m_held != 0 && count > 0) {
        if (Utf16::IsLowSurrogate(units[0])) {
            w += PutCodePoint(Utf16::CodePoint(m_held, units[0]), out);
            i = 1;
        } else {
            w += PutCodePoint(kReplacement, out);
        }
        m_held = 0;
    }
    while (i < count) {
        const char16_t u = units[i];
        if (u < 0x80) {
            // A run of ASCII: each unit its byte.
#if defined(__SSE2__)
            const __m128i notAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
            const __m128i zero = _mm_setzero_si128();
            while (i + 16 <= count) {
                const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
                const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i + 8));
                const __m128i high = _mm_and_si128(_mm_or_si128(a, b), notAscii);
                if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, zero)) != 0xFFFF)
                    break;
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + w), _mm_packus_epi16(a, b));
                i += 16;
                w += 16;
            }
#endif
            while (i < count && units[i] < 0x80)
                out[w++] = static_cast<unsigned char>(units[i++]);
            continue;
        }
        ++i;
        if (u < 0x800) {
            out[w] = static_cast<unsigned char>(0xC0 | (u >> 6));
            out[w + 1] = static_cast<unsigned char>(0x80 | (u & 0x3F));
            w += 2;
        } else if (!Utf16::IsSurrogate(u)) {
            out[w] = static_cast<unsigned char>(0xE0 | (u >> 12));
            out[w + 1] = static_cast<unsigned char>(0x80 | ((u >> 6) & 0x3F));
            out[w + 2] = static_cast<unsigned char>(0x80 | (u & 0x3F));
            w += 3;
        } else if (Utf16::IsHighSurrogate(u)) {
            if (i == count) {
                m_held = u;  // its other half may begin the next piece
            } else if (Utf16::IsLowSurrogate(units[i])) {
                w += PutCodePoint(Utf16::CodePoint(u, units[i]), out + w);
                ++i;
            } else {
                w += PutCodePoint(kReplacement, out + w);
            }
        } else if (IsKeptByte(u) || (m_file && u == kKeptZero)) {
            out[w++] = static_cast<unsigned char>(u - 0xDC00);
        } else {
            w += PutCodePoint(kReplacement, out + w);
        }
    }
    return w;
}

void KeepZeros(char16_t* units, std::size_t count) noexcept
{
    for (std::size_t i = 0; i < count; ++i) {
        if (units[i] == 0)
            units[i] = kKeptZero;
    }
}

std::size_t Encoder::Finish(unsigned char* out) noexcept
{
    if (m_held == 0)
        return 0;
    m_held = 0;
    return PutCodePoint(kReplacement, out);
}

std::u16string DecodeAll(std::string_view bytes)
{
    std::u16string text(bytes.size(), u'\0');
    const Decoded d = Decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), text.data(), true);
    text.resize(d.written);
    return text;
}

std::string EncodeAll(std::u16string_view text)
{
    std::string bytes(Encoder::kMostBytesPerUnit * text.size() + 3, '\0');
    auto* out = reinterpret_cast<unsigned char*>(bytes.data());
    Encoder encoder;
    std::size_t n = encoder.Encode(text.data(), text.size(), out);
    n += encoder.Finish(out + n);
    bytes.resize(n);
    return bytes;
}

}  // namespace Utf8Codec
