#include "framework/res/StringTable.h"

#include "framework/res/Resources.h"

BOOL CString::LoadString(UINT id)
{
    auto s = res::FindString(id);
    if (!s) {
        m_str.clear();
        return FALSE;
    }
    m_str.assign(s->data(), s->size());
    return TRUE;
}

void AfxFormatString1(CString& out, UINT id, const char16_t* s1)
{
    CString format;
    format.LoadString(id);
    out = AfxFormatStrings1(format, CString(s1));
}

void AfxFormatString2(CString& out, UINT id, const char16_t* s1, const char16_t* s2)
{
    CString format;
    format.LoadString(id);
    std::u16string_view f = format.View();
    std::u16string result;
    for (size_t i = 0; i < f.size(); ++i) {
        if (f[i] == u'%' && i + 1 < f.size() && (f[i + 1] == u'1' || f[i + 1] == u'2')) {
            result += f[i + 1] == u'1' ? s1 : s2;
            ++i;
        } else {
            result += f[i];
        }
    }
    out = CString(std::move(result));
}
