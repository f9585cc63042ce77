// Unicode simple case folding of UTF-16 text, for case-insensitive search.
//
// Simple folding maps one code point to one code point, and the mapping never
// moves a code point between the Basic Multilingual Plane and the
// supplementary planes, so folded text has exactly as many code units as the
// original and positions carry over unchanged. (Should a future Unicode
// version break that, the affected code point is left unfolded rather than
// letting lengths drift.) A surrogate pair is folded as one code point; a
// lone surrogate is left alone.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace CaseFold {

// Folding of U+0000..U+00FF, compiled in: the fast path for hot loops.
const std::array<char16_t, 256>& Latin1Table();

// Folds one code point. Latin-1 is served from the table.
char32_t CodePoint(char32_t cp);

// Folds a code unit that is not part of a surrogate pair. Surrogates are
// returned unchanged.
char16_t Unit(char16_t unit);

// Folds the code point encoded by a valid surrogate pair, in place.
void Pair(char16_t& high, char16_t& low);

// Folds a whole string code point by code point; the result has the same
// length as the input.
std::u16string String(std::u16string_view text);

// Every code unit outside the surrogates that Unit folds to `folded`,
// `folded` among them when it folds to itself; in increasing order.
std::u16string UnitsFoldingTo(char16_t folded);

}  // namespace CaseFold
