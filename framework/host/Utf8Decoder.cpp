#include "framework/host/Utf8Decoder.h"

#include "framework/base/Utf16.h"

std::optional<char32_t> Utf8Decoder::Take(unsigned char b)
{
    if (b >= 0x80 && b < 0xC0) {
        // A continuation byte: part of the sequence under way, or garbage.
        if (m_need == 0)
            return std::nullopt;
        m_value = (m_value << 6) | (b & 0x3F);
        if (--m_need > 0)
            return std::nullopt;
        if (m_value < m_least || Utf16::IsSurrogate(m_value) || m_value > 0x10FFFF)
            return std::nullopt;
        return m_value;
    }
    // Anything else starts afresh; an unfinished sequence before it is lost.
    m_need = 0;
    if (b < 0x80)
        return b;
    if (b >= 0xC2 && b < 0xE0) {
        m_need = 1;
        m_value = b & 0x1F;
        m_least = 0x80;
    } else if (b >= 0xE0 && b < 0xF0) {
        m_need = 2;
        m_value = b & 0x0F;
        m_least = 0x800;
    } else if (b >= 0xF0 && b < 0xF5) {
        m_need = 3;
        m_value = b & 0x07;
        m_least = 0x10000;
    }
    // 0xC0, 0xC1 and 0xF5..0xFF never occur in UTF-8: dropped.
    return std::nullopt;
}
