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
