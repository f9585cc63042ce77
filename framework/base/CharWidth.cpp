#include "framework/base/CharWidth.h"

#include "framework/base/UnicodeLibrary.h"

#include "framework/base/Utf16.h"

namespace {

bool IsWide(UChar32 c)
{
    const int eaw = UnicodeLibrary::Get().getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH);
    if (eaw == U_EA_WIDE || eaw == U_EA_FULLWIDTH)
        return true;
    // Wide on the terminal though not by their East Asian width.
    if ((c >= 0x3248 && c <= 0x324F) || (c >= 0x4DC0 && c <= 0x4DFF))
        return true;
    const bool regionalIndicator = c >= 0x1F1E6 && c <= 0x1F1FF;
    return !regionalIndicator && UnicodeLibrary::Get().hasBinaryProperty(c, UCHAR_EMOJI_PRESENTATION);
}

bool IsZeroWidth(UChar32 c)
{
    switch (UnicodeLibrary::Get().charType(c)) {
    case U_NON_SPACING_MARK:
    case U_ENCLOSING_MARK: return true;
    case U_FORMAT_CHAR:
        return c != 0x00AD && !UnicodeLibrary::Get().hasBinaryProperty(c, UCHAR_PREPENDED_CONCATENATION_MARK);
    case U_UNASSIGNED: return UnicodeLibrary::Get().hasBinaryProperty(c, UCHAR_DEFAULT_IGNORABLE_CODE_POINT);
    default: break;
    }
    const int hangul = UnicodeLibrary::Get().getIntPropertyValue(c, UCHAR_HANGUL_SYLLABLE_TYPE);
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

int TextCells(std::u16string_view text)
{
    int cells = 0;
    for (std::size_t i = 0; i < text.size();)
        cells += CellWidth(Utf16::Next(text, i));
    return cells;
}

std::size_t UnitsInCells(std::u16string_view text, int cells)
{
    int used = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t next = i;
        used += CellWidth(Utf16::Next(text, next));
        if (used > cells)
            break;
        i = next;
    }
    return i;
}
