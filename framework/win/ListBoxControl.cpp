#include "framework/win/ListBoxControl.h"

#include <algorithm>

#include "framework/win/DC.h"
#include "framework/win/WindowSystem.h"

int ListBoxControl::Rows(HWND hwnd) const { return std::max(1, GetClientCells(hwnd).Height()); }

void ListBoxControl::Notify(HWND hwnd, UINT code)
{
    if ((hwnd->style & LBS_NOTIFY) && hwnd->parent)
        SendMessage(hwnd->parent, WM_COMMAND, MAKEWPARAM(WORD(hwnd->id), WORD(code)), reinterpret_cast<LPARAM>(hwnd));
}

void ListBoxControl::Select(HWND hwnd, int index, bool notify)
{
    int n = int(m_items.size());
    int sel = (index >= 0 && index < n) ? index : -1;
    bool changed = sel != m_sel;
    m_sel = sel;
    int rows = Rows(hwnd);
    if (m_sel >= 0) {
        if (m_sel < m_top)
            m_top = m_sel;
        else if (m_sel >= m_top + rows)
            m_top = m_sel - rows + 1;
    }
    hwnd->scroll[SB_VERT] = SCROLLINFO{0, std::max(0, n - 1), UINT(rows), m_top};
    WindowSystem::Get().Invalidate();
    if (notify && changed)
        Notify(hwnd, LBN_SELCHANGE);
}

LRESULT ListBoxControl::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const int n = int(m_items.size());
    switch (msg) {
    case LB_ADDSTRING:
        return AddString(hwnd, n, (hwnd->style & LBS_SORT) != 0, reinterpret_cast<const char16_t*>(lParam));
    case LB_INSERTSTRING:
        return AddString(hwnd, int(INT_PTR(wParam)), false, reinterpret_cast<const char16_t*>(lParam));
    case LB_RESETCONTENT:
        m_items.clear();
        m_sel = -1;
        m_top = 0;
        Select(hwnd, -1, false);
        return 0;
    case LB_SETCURSEL: Select(hwnd, int(INT_PTR(wParam)), false); return m_sel;
    case LB_GETCURSEL: return m_sel;
    case LB_GETCOUNT: return n;
    case LB_GETTEXTLEN: {
        int i = int(INT_PTR(wParam));
        return (i >= 0 && i < n) ? m_items[size_t(i)].GetLength() : -1;
    }
    case LB_GETTEXT: return GetItemText(int(INT_PTR(wParam)), reinterpret_cast<char16_t*>(lParam));
    case WM_KEYDOWN: OnKeyDown(hwnd, UINT(wParam)); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(hwnd, short(HIWORD(UINT_PTR(lParam)))); return 0;
    case WM_VSCROLL: OnVScroll(hwnd, LOWORD(wParam)); return 0;
    case WM_MOUSEWHEEL: ScrollTo(hwnd, m_top - short(HIWORD(wParam)) / WHEEL_DELTA); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: WindowSystem::Get().Invalidate(); return 0;
    default: return WindowClass::Proc(hwnd, msg, wParam, lParam);
    }
}

int ListBoxControl::AddString(HWND hwnd, int index, bool sorted, const char16_t* item)
{
    const int n = int(m_items.size());
    CString text(item);
    if (sorted)
        index = int(std::upper_bound(m_items.begin(), m_items.end(), text,
                                     [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; })
                    - m_items.begin());
    if (index < 0 || index > n)
        index = n;
    m_items.insert(m_items.begin() + index, text);
    if (m_sel >= index)
        ++m_sel;
    Select(hwnd, m_sel, false);
    return index;
}

int ListBoxControl::GetItemText(int i, char16_t* buf) const
{
    if (i < 0 || i >= int(m_items.size()) || !buf)
        return -1;
    const CString& s = m_items[size_t(i)];
    std::copy_n(s.GetString(), s.GetLength() + 1, buf);
    return s.GetLength();
}

void ListBoxControl::OnKeyDown(HWND hwnd, UINT vk)
{
    const int n = int(m_items.size());
    const int rows = Rows(hwnd);
    int next = m_sel;
    switch (vk) {
    case VK_UP: next = m_sel < 0 ? 0 : m_sel - 1; break;
    case VK_DOWN: next = m_sel + 1; break;
    case VK_PRIOR: next = m_sel - rows; break;
    case VK_NEXT: next = m_sel + rows; break;
    case VK_HOME: next = 0; break;
    case VK_END: next = n - 1; break;
    default: return;
    }
    if (n > 0)
        Select(hwnd, std::clamp(next, 0, n - 1), true);
}

void ListBoxControl::OnLButtonDown(HWND hwnd, int y)
{
    SetFocus(hwnd);
    int i = m_top + y / Host::CellPixels().cy;
    if (i < 0 || i >= int(m_items.size()))
        return;
    if (i == m_sel)
        Notify(hwnd, LBN_DBLCLK);
    else
        Select(hwnd, i, true);
}

void ListBoxControl::OnVScroll(HWND hwnd, UINT code)
{
    const int rows = Rows(hwnd);
    switch (code) {
    case SB_LINEUP: ScrollTo(hwnd, m_top - 1); break;
    case SB_LINEDOWN: ScrollTo(hwnd, m_top + 1); break;
    case SB_PAGEUP: ScrollTo(hwnd, m_top - rows); break;
    case SB_PAGEDOWN: ScrollTo(hwnd, m_top + rows); break;
    default: ScrollTo(hwnd, m_top); break;
    }
}

void ListBoxControl::ScrollTo(HWND hwnd, int top)
{
    const int n = int(m_items.size());
    const int rows = Rows(hwnd);
    m_top = std::clamp(top, 0, std::max(0, n - rows));
    hwnd->scroll[SB_VERT] = SCROLLINFO{0, std::max(0, n - 1), UINT(rows), m_top};
    WindowSystem::Get().Invalidate();
}

void ListBoxControl::Paint(HWND hwnd, CDC& dc)
{
    CSize size = dc.Size();
    bool focused = GetFocus() == hwnd;
    dc.FillRect(CRect(0, 0, size.cx, size.cy), ATTR_FIELD);
    for (int r = 0; r < size.cy; ++r) {
        int i = m_top + r;
        if (i >= int(m_items.size()))
            break;
        std::uint16_t attr = ATTR_FIELD;
        if (i == m_sel)
            attr |= ATTR_REVERSE | (focused ? ATTR_FOCUS : 0);
        dc.TextInBox(0, r, size.cx, m_items[size_t(i)].View(), attr);
    }
    // The cursor marks the focused list: on its selected entry when that
    // shows, else on its first row.
    if (focused)
        dc.SetCaret(0, m_sel >= m_top && m_sel < m_top + size.cy ? m_sel - m_top : 0);
}
