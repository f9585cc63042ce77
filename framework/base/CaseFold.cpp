#include "framework/base/CaseFold.h"

#include <algorithm>

#include "framework/base/UnicodeCase.h"
#include "framework/base/UnicodeLibrary.h"
#include "framework/base/Utf16.h"

namespace CaseFold {

namespace {

// The simple folding of Latin-1, compiled in so that folding it never opens
// the Unicode library: A-Z and U+00C0..U+00DE but U+00D7 (the multiplication
// sign) move to their small letters, U+00B5 MICRO SIGN folds to U+03BC
// GREEK SMALL LETTER MU (outside Latin-1, which is why entries are char16_t),
// and everything else, U+00DF among it (which folds to "ss" only in full
// folding), folds to itself.
constexpr std::array<char16_t, 256> kLatin1Folding = [] {
    std::array<char16_t, 256> t{};
    for (char16_t c = 0; c < 256; ++c) {
        bool capital = (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
        t[c] = capital ? char16_t(c + 0x20) : c == 0xB5 ? char16_t(0x3BC) : c;
    }
    return t;
}();

}  // namespace

const std::array<char16_t, 256>& Latin1Table() { return kLatin1Folding; }

char32_t CodePoint(char32_t cp)
{
    if (cp < 256)
        return Latin1Table()[cp];
    return UnicodeCase::Fold(cp);
}

char16_t Unit(char16_t unit)
{
    if (unit < 256)
        return Latin1Table()[unit];
    if (Utf16::IsSurrogate(unit))
        return unit;
    const char32_t folded = UnicodeCase::Fold(unit);
    return folded <= 0xFFFF ? static_cast<char16_t>(folded) : unit;
}

void Pair(char16_t& high, char16_t& low)
{
    const char32_t folded = UnicodeCase::Fold(Utf16::CodePoint(high, low));
    if (folded < 0x10000)
        return;  // would change the length; keep the original
    high = Utf16::HighOf(char32_t(folded));
    low = Utf16::LowOf(char32_t(folded));
}

std::u16string String(std::u16string_view text)
{
    std::u16string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (Utf16::IsHighSurrogate(out[i]) && i + 1 < out.size() && Utf16::IsLowSurrogate(out[i + 1])) {
            Pair(out[i], out[i + 1]);
            ++i;
        } else {
            out[i] = Unit(out[i]);
        }
    }
    return out;
}

std::u16string UnitsFoldingTo(char16_t folded)
{
    // The unit's case closure, narrowed to the units that fold to it: the
    // closure holds every case variant (and strings, which are left out).
    std::u16string units;
    if (Utf16::IsSurrogate(folded))
        return units;
    if (folded < 0x80) {
        // ASCII, without the Unicode library (whose first look at a closure
        // costs a search a quarter of a millisecond, and whose loading costs
        // a start more): the unit, its capital, and the two units beyond
        // ASCII that fold into it, U+017F LATIN SMALL LETTER LONG S into "s"
        // and U+212A KELVIN SIGN into "k". A test over the whole plane
        // checks this against the library. No unit folds to a capital.
        if (folded >= u'A' && folded <= u'Z')
            return units;
        if (folded >= u'a' && folded <= u'z')
            units += char16_t(folded - 0x20);
        units += folded;
        if (folded == u's')
            units += u'\u017F';
        if (folded == u'k')
            units += u'\u212A';
        return units;
    }
    const UnicodeLibrary::Functions& icu = UnicodeLibrary::Get();
    USet* closure = icu.setOpenEmpty();
    icu.setAdd(closure, folded);
    icu.setCloseOver(closure, USET_CASE_INSENSITIVE);
    UErrorCode status = U_ZERO_ERROR;
    for (int32_t item = 0; item < icu.setGetItemCount(closure); ++item) {
        UChar32 first = 0;
        UChar32 last = -1;
        if (icu.setGetItem(closure, item, &first, &last, nullptr, 0, &status) != 0)
            continue;  // a string
        for (UChar32 c = first; c <= std::min<UChar32>(last, 0xFFFF); ++c) {
            if (!Utf16::IsSurrogate(char32_t(c)) && Unit(char16_t(c)) == folded)
                units += char16_t(c);
        }
    }
    icu.setClose(closure);
    return units;
}

}  // namespace CaseFold
