// UTF-8 as a terminal sends it, one byte at a time: the code point each
// complete, well-formed sequence encodes. Malformed bytes are dropped
// without taking what follows them: stray continuation bytes, bytes that
// never occur in UTF-8, overlong forms, encoded surrogates, values above
// U+10FFFF, and a sequence cut short by a byte that is no continuation
// (which then counts for itself).
#pragma once

#include <optional>

class Utf8Decoder {
public:
    // The code point this byte completes, if any.
    std::optional<char32_t> Take(unsigned char b);
    // Whether a sequence is under way, waiting for more bytes.
    bool Open() const { return m_need > 0; }
    // Drops the sequence under way.
    void Reset() { m_need = 0; }

private:
    // The bytes still to come, the code point so far and the least value
    // the sequence's length may encode.
    int m_need = 0;
    char32_t m_value = 0;
    char32_t m_least = 0;
};
