// TextAnchorScan: where a pattern may start in a text held in two pieces (the
// gap buffer's halves), found by testing two of the pattern's units, its
// anchors, at eight positions at once with SSE2 (one at a time without it),
// and 32 at once where none passes.
// A start passes when each anchor's unit in the text is one its class
// accepts; whoever visits the starts then checks the rest of the pattern.
#pragma once

#include <algorithm>
#include <climits>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// The code units that one unit of a pattern accepts: those that equal
// `value` once OR-ed with `orMask` (0x20 takes both cases of an ASCII
// letter), and up to three others.
struct UnitClass {
    char16_t orMask = 0;
    char16_t value = 0;
    int extraCount = 0;
    char16_t extra[3] = {};

    bool Accepts(char16_t unit) const
    {
        if (char16_t(unit | orMask) == value)
            return true;
        for (int i = 0; i < extraCount; ++i) {
            if (unit == extra[i])
                return true;
        }
        return false;
    }
};

// A unit of the pattern, `offset` units from its start, and what it accepts.
struct TextAnchor {
    int offset = 0;
    UnitClass accepts;
};

class TextAnchorScan {
public:
    // A visit returning kStop ends the scan.
    static constexpr int kStop = INT_MAX;

    TextAnchorScan(std::u16string_view before, std::u16string_view after, const TextAnchor& first,
                   const TextAnchor& second)
        : m_before(before), m_after(after), m_split(int(before.size())), m_first(first), m_second(second)
    {}

    // Calls next = visit(p) for every start p in [lo, hi], in increasing
    // order, whose anchors' units both pass, leaving out the starts below
    // the `next` the latest visit returned.
    template <typename Visit>
    void Each(int lo, int hi, Visit&& visit) const
    {
        const int nearest = std::min(m_first.offset, m_second.offset);
        const int farthest = std::max(m_first.offset, m_second.offset);
        // Both anchors before the gap, one on each side of it, both after it.
        int p = Piece(m_before.data(), 0, lo, std::min(hi, m_split - 1 - farthest), visit);
        p = Piece(nullptr, 0, p, std::min(hi, m_split - 1 - nearest), visit);
        Piece(m_after.data(), m_split, p, hi, visit);
    }

private:
    // The unit at position `pos` of the text, across the gap.
    char16_t At(int pos) const { return pos < m_split ? m_before[size_t(pos)] : m_after[size_t(pos - m_split)]; }

    bool Passes(const char16_t* units, int shift, int p) const
    {
        if (!units) {
            return m_first.accepts.Accepts(At(p + m_first.offset)) && m_second.accepts.Accepts(At(p + m_second.offset));
        }
        const char16_t* at = units + (p - shift);
        return m_first.accepts.Accepts(at[m_first.offset]) && m_second.accepts.Accepts(at[m_second.offset]);
    }

    // Visits the starts in [p, last] whose anchors lie in one run of units,
    // the unit at position x being units[x - shift] (or, without units, on
    // either side of the gap); returns the first start not yet looked at.
    template <typename Visit>
    int Piece(const char16_t* units, int shift, int p, int last, Visit& visit) const
    {
#ifdef __SSE2__
        if (units) {
            const int extras = std::max(m_first.accepts.extraCount, m_second.accepts.extraCount);
            if (extras == 0)
                p = Vectors<0>(units, shift, p, last, visit);
            else if (extras == 1)
                p = Vectors<1>(units, shift, p, last, visit);
            else
                p = Vectors<3>(units, shift, p, last, visit);
        }
#endif
        while (p <= last) {
            if (Passes(units, shift, p))
                p = std::max(p + 1, visit(p));
            else
                ++p;
        }
        return p;
    }

#ifdef __SSE2__
    // A class's units, each in all eight 16-bit lanes.
    struct Lanes {
        __m128i orMask, value, extra[3];
    };

    static Lanes LanesOf(const UnitClass& c)
    {
        Lanes lanes;
        lanes.orMask = _mm_set1_epi16(short(c.orMask));
        lanes.value = _mm_set1_epi16(short(c.value));
        // Unused extras repeat the value, which the first test takes anyway.
        for (int i = 0; i < 3; ++i)
            lanes.extra[i] = _mm_set1_epi16(short(i < c.extraCount ? c.extra[i] : c.value));
        return lanes;
    }

    template <int kExtras>
    static __m128i Accepted(__m128i units, const Lanes& lanes)
    {
        __m128i hit = _mm_cmpeq_epi16(_mm_or_si128(units, lanes.orMask), lanes.value);
        for (int i = 0; i < kExtras; ++i)
            hit = _mm_or_si128(hit, _mm_cmpeq_epi16(units, lanes.extra[i]));
        return hit;
    }

    // All ones in the lane of each of the eight starts from `at` whose two
    // anchors pass.
    template <int kExtras>
    static __m128i Passing(const char16_t* at, int firstOffset, int secondOffset, const Lanes& first,
                           const Lanes& second)
    {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + firstOffset));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + secondOffset));
        return _mm_and_si128(Accepted<kExtras>(a, first), Accepted<kExtras>(b, second));
    }

    // Eight starts at a time, and runs of 32 starts none of which passes
    // with one test each (most of a text); returns the first start left for
    // the unit-by-unit loop. kExtras: how many extra units a class holds.
    template <int kExtras, typename Visit>
    int Vectors(const char16_t* units, int shift, int p, int last, Visit& visit) const
    {
        const Lanes first = LanesOf(m_first.accepts);
        const Lanes second = LanesOf(m_second.accepts);
        // Copies the loop keeps in registers whatever the visits do.
        const int firstOffset = m_first.offset;
        const int secondOffset = m_second.offset;
        while (p <= last - 7) {
            while (p <= last - 31) {
                const char16_t* at = units + (p - shift);
                __m128i any = Passing<kExtras>(at, firstOffset, secondOffset, first, second);
                any = _mm_or_si128(any, Passing<kExtras>(at + 8, firstOffset, secondOffset, first, second));
                any = _mm_or_si128(any, Passing<kExtras>(at + 16, firstOffset, secondOffset, first, second));
                any = _mm_or_si128(any, Passing<kExtras>(at + 24, firstOffset, secondOffset, first, second));
                if (_mm_movemask_epi8(any) != 0)
                    break;
                p += 32;
            }
            if (p > last - 7)
                break;  // the runs of 32 went past the last eight
            // One bit per start: the low byte's bit of each 16-bit lane.
            unsigned mask = unsigned(_mm_movemask_epi8(
                                Passing<kExtras>(units + (p - shift), firstOffset, secondOffset, first, second)))
                & 0x5555u;
            int next = p;
            while (mask) {
                const int q = p + __builtin_ctz(mask) / 2;
                mask &= mask - 1;
                if (q >= next)
                    next = visit(q);
            }
            p = std::max(p + 8, next);
        }
        return p;
    }
#endif

    std::u16string_view m_before;
    std::u16string_view m_after;
    int m_split;
    TextAnchor m_first;
    TextAnchor m_second;
};
