#include "framework/base/Narrowing.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Aligned to a cache line: how fast the loop below runs depends on where it
// falls among the processor's instruction fetch blocks (a third slower in
// the worst place), and without this that place would move with the size
// of whatever code the linker puts before it.
[[gnu::aligned(64)]] void NarrowUnits(const char16_t* units, std::size_t count, unsigned char* bytes) noexcept
{
    std::size_t i = 0;
#if defined(__SSE2__)
    // NarrowUnit sixteen units at a time: the low bytes packed, then each
    // zero among them replaced.
    const __m128i low = _mm_set1_epi16(0x00FF);
    const __m128i zero = _mm_setzero_si128();
    const __m128i standIn = _mm_set1_epi8(static_cast<char>(kNarrowedZero));
    for (; i + 16 <= count; i += 16) {
        const __m128i a = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i)), low);
        const __m128i b = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i + 8)), low);
        const __m128i packed = _mm_packus_epi16(a, b);
        const __m128i isZero = _mm_cmpeq_epi8(packed, zero);
        const __m128i narrowed = _mm_or_si128(_mm_andnot_si128(isZero, packed), _mm_and_si128(isZero, standIn));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + i), narrowed);
    }
#endif
    for (; i < count; ++i)
        bytes[i] = NarrowUnit(units[i]);
}

bool UnitsFitInBytes(const char16_t* units, std::size_t count) noexcept
{
    std::size_t i = 0;
    char16_t bits = 0;
#if defined(__SSE2__)
    // The units of a block or-ed together: a high byte left anywhere in the
    // result is one that does not fit.
    const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF00));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 64 <= count; i += 64) {
        __m128i any = zero;
        for (std::size_t k = 0; k < 64; k += 8)
            any = _mm_or_si128(any, _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i + k)));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(any, high), zero)) != 0xFFFF)
            return false;
    }
#endif
    for (; i < count; ++i)
        bits |= units[i];
    return bits <= 0xFF;
}
