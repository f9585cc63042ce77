#include "framework/win/StaticControl.h"

#include <algorithm>

#include "framework/base/CharWidth.h"
#include "framework/res/Resources.h"
#include "framework/win/DC.h"
#include "framework/win/WindowSystem.h"

CString StripMnemonic(const CString& text)
{
    std::u16string out;
    const std::u16string& s = text.Str();
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'&' && i + 1 < s.size()) {
            ++i;
        }
        out += s[i];
    }
    return CString(std::move(out));
}

LRESULT StaticControl::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case STM_SETICON: {
        HICON old = m_icon;
        m_icon = reinterpret_cast<HICON>(wParam);
        WindowSystem::Get().Invalidate();
        return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETICON: return reinterpret_cast<LRESULT>(m_icon);
    default: return WindowClass::Proc(hwnd, msg, wParam, lParam);
    }
}

void StaticControl::Paint(HWND hwnd, CDC& dc)
{
    CSize size = dc.Size();
    DWORD type = hwnd->style & SS_TYPEMASK;
    std::uint16_t attr = IsWindowEnabled(hwnd) ? ATTR_NORMAL : ATTR_DISABLED;
    dc.FillRect(CRect(0, 0, size.cx, size.cy), attr);
    if (type == SS_ICON) {
        dc.DrawIcon(0, 0, size.cx, size.cy, m_icon);
        return;
    }
    CString text = (hwnd->style & SS_NOPREFIX) ? hwnd->text : StripMnemonic(hwnd->text);
    int align = type == SS_CENTER ? 1 : type == SS_RIGHT ? 2 : 0;
    // Words wrap within the box; a line break in the text starts a new row.
    std::u16string_view rest = text.View();
    int row = 0;
    while (row < size.cy) {
        size_t nl = rest.find(u'\n');
        std::u16string_view para = rest.substr(0, nl);
        std::u16string_view line = para;
        if (type != SS_LEFTNOWORDWRAP && TextCells(para) > size.cx && row + 1 < size.cy) {
            const size_t fit = std::max<size_t>(UnitsInCells(para, size.cx), 1);
            size_t cut = para.rfind(u' ', fit);
            if (cut == std::u16string_view::npos || cut == 0)
                cut = fit;
            line = para.substr(0, cut);
            rest = rest.substr(cut < para.size() && para[cut] == u' ' ? cut + 1 : cut);
        } else {
            rest = nl == std::u16string_view::npos ? std::u16string_view() : rest.substr(nl + 1);
        }
        if (!line.empty() && line.back() == u'\r')
            line.remove_suffix(1);
        dc.TextInBox(0, row, size.cx, line, attr, align);
        ++row;
        if (rest.empty())
            break;
    }
}
