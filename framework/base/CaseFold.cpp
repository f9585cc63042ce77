#include "framework/base/CaseFold.h"

#include <unicode/uchar.h>

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
    if (unit >= 0xD800 && unit <= 0xDFFF)
        return unit;
    const UChar32 folded = u_foldCase(unit, U_FOLD_CASE_DEFAULT);
    return folded <= 0xFFFF ? static_cast<char16_t>(folded) : unit;
}

void Pair(char16_t& high, char16_t& low)
{
    const UChar32 cp = 0x10000 + ((UChar32(high) - 0xD800) << 10) + (UChar32(low) - 0xDC00);
    const UChar32 folded = u_foldCase(cp, U_FOLD_CASE_DEFAULT);
    if (folded < 0x10000)
        return;  // would change the length; keep the original
    high = static_cast<char16_t>(0xD800 + ((folded - 0x10000) >> 10));
    low = static_cast<char16_t>(0xDC00 + ((folded - 0x10000) & 0x3FF));
}

std::u16string String(std::u16string_view text)
{
    std::u16string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (IsHighSurrogate(out[i]) && i + 1 < out.size() && IsLowSurrogate(out[i + 1])) {
            Pair(out[i], out[i + 1]);
            ++i;
        } else {
            out[i] = Unit(out[i]);
        }
    }
    return out;
}

}  // namespace CaseFold
