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
