#include "framework/base/UnicodeCase.h"

#include "framework/base/UnicodeLibrary.h"

namespace UnicodeCase {

char32_t Fold(char32_t cp)
{
    if (cp < 0x80)
        return cp >= u'A' && cp <= u'Z' ? cp + 0x20 : cp;
    return char32_t(UnicodeLibrary::Get().foldCase(UChar32(cp), U_FOLD_CASE_DEFAULT));
}

char32_t Upper(char32_t cp)
{
    if (cp < 0x80)
        return cp >= u'a' && cp <= u'z' ? cp - 0x20 : cp;
    return char32_t(UnicodeLibrary::Get().toUpper(UChar32(cp)));
}

char32_t Lower(char32_t cp)
{
    if (cp < 0x80)
        return cp >= u'A' && cp <= u'Z' ? cp + 0x20 : cp;
    return char32_t(UnicodeLibrary::Get().toLower(UChar32(cp)));
}

}  // namespace UnicodeCase
