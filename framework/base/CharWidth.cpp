#include "framework/base/CharWidth.h"

#include <unicode/uchar.h>

namespace {

bool IsWide(UChar32 c)
{
    const int eaw = u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH);
    if (eaw == U_EA_WIDE || eaw == U_EA_FULLWIDTH)
        return true;
    // Wide on the terminal though not by their East Asian width.
    if ((c >= 0x3248 && c <= 0x324F) || (c >= 0x4DC0 && c <= 0x4DFF))
        return true;
    const bool regionalIndicator = c >= 0x1F1E6 && c <= 0x1F1FF;
    return !regionalIndicator && u_hasBinaryProperty(c, UCHAR_EMOJI_PRESENTATION);
}

bool IsZeroWidth(UChar32 c)
{
    switch (u_charType(c)) {
    case U_NON_SPACING_MARK:
    case U_ENCLOSING_MARK: return true;
    case U_FORMAT_CHAR: return c != 0x00AD && !u_hasBinaryProperty(c, UCHAR_PREPENDED_CONCATENATION_MARK);
    case U_UNASSIGNED: return u_hasBinaryProperty(c, UCHAR_DEFAULT_IGNORABLE_CODE_POINT);
    default: break;
    }
    const int hangul = u_getIntPropertyValue(c, UCHAR_HANGUL_SYLLABLE_TYPE);
    return hangul == U_HST_VOWEL_JAMO || hangul == U_HST_TRAILING_JAMO;
}

}  // namespace

int CellWidthOfCodePoint(char32_t cp)
{
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 1;
    const UChar32 c = static_cast<UChar32>(cp);
    // A mark is zero-width even in a wide script (the kana voicing marks).
    if (IsZeroWidth(c))
        return 0;
    return IsWide(c) ? 2 : 1;
}
