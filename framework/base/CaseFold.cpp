#include "framework/base/CaseFold.h"

#include <algorithm>

#include <unicode/uchar.h>
#include <unicode/uset.h>

#include "framework/base/Utf16.h"

namespace CaseFold {

// Every entry stays in the BMP (U+00B5 MICRO SIGN folds to U+03BC, outside
// Latin-1, which is why entries are char16_t).
const std::array<char16_t, 256>& Latin1Table()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (UChar32 c = 0; c < 256; ++c)
            t[c] = static_cast<char16_t>(u_foldCase(c, U_FOLD_CASE_DEFAULT));
        return t;
    }();
    return table;
}

char32_t CodePoint(char32_t cp)
{
    if (cp < 256)
        return Latin1Table()[cp];
    return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(cp), U_FOLD_CASE_DEFAULT));
}

char16_t Unit(char16_t unit)
{
    if (unit < 256)
        return Latin1Table()[unit];
    if (Utf16::IsSurrogate(unit))
        return unit;
    const UChar32 folded = u_foldCase(unit, U_FOLD_CASE_DEFAULT);
    return folded <= 0xFFFF ? static_cast<char16_t>(folded) : unit;
}

void Pair(char16_t& high, char16_t& low)
{
    const UChar32 cp = UChar32(Utf16::CodePoint(high, low));
    const UChar32 folded = u_foldCase(cp, U_FOLD_CASE_DEFAULT);
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
        // ASCII, without the first look at the closure (which costs a
        // search a quarter of a millisecond): the unit, its capital, and
        // the two units beyond ASCII that fold into it.
        for (const char16_t c : {folded, char16_t(folded & ~0x20), u'\u017F', u'\u212A'}) {
            if (Unit(c) == folded && units.find(c) == std::u16string::npos)
                units += c;
        }
        std::sort(units.begin(), units.end());
        return units;
    }
    USet* closure = uset_openEmpty();
    uset_add(closure, folded);
    uset_closeOver(closure, USET_CASE_INSENSITIVE);
    UErrorCode status = U_ZERO_ERROR;
    for (int32_t item = 0; item < uset_getItemCount(closure); ++item) {
        UChar32 first = 0;
        UChar32 last = -1;
        if (uset_getItem(closure, item, &first, &last, nullptr, 0, &status) != 0)
            continue;  // a string
        for (UChar32 c = first; c <= std::min<UChar32>(last, 0xFFFF); ++c) {
            if (!Utf16::IsSurrogate(char32_t(c)) && Unit(char16_t(c)) == folded)
                units += char16_t(c);
        }
    }
    uset_close(closure);
    return units;
}

}  // namespace CaseFold
