// How many terminal cells a character takes: 0, 1 or 2.
//
// The rule is the one the terminal applies (the C library's wcwidth in a
// UTF-8 locale, which terminal multiplexers follow), computed from ICU's
// character properties so that every plane is covered:
//   2  East Asian Wide and Fullwidth characters, and emoji shown as emoji
//      by default (Emoji_Presentation), except the regional indicators,
//      which terminals give one cell each;
//   0  combining marks (Mn, Me), format characters (Cf: joiners, marks of
//      direction, U+200B), variation selectors, Hangul medial vowels and
//      final consonants (they join the syllable before them), and the
//      unassigned code points reserved as default ignorable;
//   1  everything else: controls, the soft hyphen and the prepended
//      concatenation marks (which terminals show), lone surrogates (the
//      screen shows a stand-in for them), and characters ICU calls
//      ambiguous.
// Where ICU's properties and the terminal part (the hexagram symbols and
// the circled numbers on black squares, wide on the terminal), the
// terminal wins, since the screen must show what the terminal shows.
#pragma once

#include <cstddef>
#include <string_view>

// The general rule, through ICU.
int CellWidthOfCodePoint(char32_t cp);

inline int CellWidth(char32_t cp)
{
    // Latin, IPA and the spacing modifier letters (everything below the
    // combining diacritical marks at U+0300) take one cell: the 8-bit mode's
    // characters never reach ICU.
    if (cp < 0x300)
        return 1;
    // The box drawing, block and shape characters the framework draws its
    // frames, scroll bars and arrows with take one cell (but two emoji
    // squares): no window's frame opens ICU either.
    if (cp >= 0x2500 && cp <= 0x25FF)
        return cp == 0x25FD || cp == 0x25FE ? 2 : 1;
    return CellWidthOfCodePoint(cp);
}

// The cells of UTF-16 text, character by character (a surrogate pair one
// character, a lone surrogate one cell): as wide as the screen draws it.
int TextCells(std::u16string_view text);
// How many leading code units of text make whole characters in at most
// `cells` cells (the marks after the last of them included).
std::size_t UnitsInCells(std::u16string_view text, int cells);
