#include "framework/base/CharWidth.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cwchar>
#include <locale.h>
#include <string>
#include <utility>

namespace {

// Each character's cells, and where the C library of a UTF-8 locale (what
// the terminal follows) knows the character, the same answer from it.
TEST(CharWidthTest, CellsAsTheTerminalGivesThem)
{
    // Each string holds characters of one width.
    const std::pair<int, std::u32string> groups[] = {
        // Marks (Mn, Me, the kana voicing marks), joiners, direction marks,
        // the byte order mark, variation selectors, Hangul medial vowels
        // and final consonants.
        {0, U"\u0301\u20DD\u3099\u200B\u200C\u200D\u200F\uFEFF\uFE0F\U000E0100\u1160\u11A8"},
        // Latin-1 and past it, the soft hyphen and a prepended mark (both
        // shown), narrow scripts, halfwidth forms, a text-style emoji, a
        // regional indicator, lone surrogates (shown as a stand-in).
        {1,
         U"a\u00E9\u00FF\u00AD\u0100\u02FF\u0600\u0414\u05D0\u0E01\uFF61\uFFA0\u2764\U0001F1E6"
         U"\xDC80\xD800"},
        // CJK, Hangul syllables and fillers, fullwidth forms, the ideographic
        // space, hexagrams, circled numbers on black, emoji and modifiers.
        {2,
         U"\u4E2D\uAC00\u115F\u3164\uFF21\u3000\u4DC0\u3248\U00020000\U0001F600\U0001F44D\U0001F3FB"
         U"\u231A"},
    };
    locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
    const locale_t previous = utf8 ? uselocale(utf8) : locale_t(0);
    for (const auto& [cells, text] : groups) {
        for (char32_t cp : text) {
            EXPECT_EQ(CellWidth(cp), cells) << std::hex << unsigned(cp);
            const int libc = utf8 ? wcwidth(wchar_t(cp)) : -1;
            if (libc >= 0) {
                EXPECT_EQ(libc, cells) << "the C library differs at " << std::hex << unsigned(cp);
            }
        }
    }
    EXPECT_EQ(CellWidth(0x110000), 1);
    if (utf8) {
        uselocale(previous);
        freelocale(utf8);
    }
}

}  // namespace
