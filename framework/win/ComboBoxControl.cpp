#include "framework/win/ComboBoxControl.h"

#include <algorithm>

#include "framework/base/CaseFold.h"
#include "framework/win/DC.h"
#include "framework/win/EditControl.h"
#include "framework/win/PopupList.h"
#include "framework/win/WindowSystem.h"

HWND ComboBoxControl::Edit(HWND hwnd) const { return HasEdit(hwnd) ? GetDlgItem(hwnd, int(kEditId)) : nullptr; }

void ComboBoxControl::Notify(HWND hwnd, UINT code)
{
    if (hwnd->parent)
        SendMessage(hwnd->parent, WM_COMMAND, MAKEWPARAM(WORD(hwnd->id), WORD(code)), reinterpret_cast<LPARAM>(hwnd));
}

void ComboBoxControl::Select(HWND hwnd, int index, bool notify)
{
    m_sel = (index >= 0 && index < int(m_items.size())) ? index : -1;
    if (HWND edit = Edit(hwnd)) {
        SetWindowText(edit, m_sel >= 0 ? m_items[size_t(m_sel)] : CString());
        SendMessage(edit, EM_SETSEL, 0, -1);
    }
    WindowSystem::Get().Invalidate();
    if (notify)
        Notify(hwnd, CBN_SELCHANGE);
}

int ComboBoxControl::Insert(HWND, int index, const CString& text)
{
    if (index < 0 || index > int(m_items.size()))
        index = int(m_items.size());
    m_items.insert(m_items.begin() + index, text);
    if (m_sel >= index)
        ++m_sel;
    WindowSystem::Get().Invalidate();
    return index;
}

void ComboBoxControl::DropDown(HWND hwnd)
{
    Notify(hwnd, CBN_DROPDOWN);
    if (!IsWindow(hwnd))
        return;
    std::vector<PopupItem> items;
    for (const CString& s : m_items)
        items.push_back(PopupItem{s, true, false});
    CRect cells = GetWindowCells(hwnd);
    int chosen = items.empty()
        ? POPUP_CANCELLED
        : TrackPopupList(items, CPoint(cells.left, cells.bottom), cells.Width(), m_sel, false, m_droppedRows);
    if (!IsWindow(hwnd))
        return;
    if (chosen >= 0 && chosen != m_sel)
        Select(hwnd, chosen, true);
    if (IsWindow(hwnd))
        Notify(hwnd, CBN_CLOSEUP);
}

LRESULT ComboBoxControl::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE: OnCreate(hwnd); return 0;
    case WM_SIZE: OnSize(hwnd); return 0;
    case WM_COMMAND: OnEditNotify(hwnd, wParam); return 0;
    case WM_SETTEXT:
        if (HWND edit = Edit(hwnd))
            return SetWindowText(edit, lParam ? CString(reinterpret_cast<const char16_t*>(lParam)) : CString());
        return CB_ERR;
    case WM_GETTEXT: return GetText(hwnd, int(wParam), reinterpret_cast<char16_t*>(lParam));
    case WM_GETTEXTLENGTH: return Text(hwnd).GetLength();
    case WM_SETFOCUS: OnSetFocus(hwnd); return 0;
    case WM_KILLFOCUS: OnKillFocus(hwnd); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(hwnd, short(LOWORD(UINT_PTR(lParam)))); return 0;
    case WM_KEYDOWN: OnKeyDown(hwnd, UINT(wParam)); return 0;
    case WM_CHAR: OnChar(hwnd, char16_t(wParam)); return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_DOWN || wParam == VK_UP)
            DropDown(hwnd);
        return 0;
    case CB_ADDSTRING: return AddString(hwnd, CString(reinterpret_cast<const char16_t*>(lParam)));
    case CB_INSERTSTRING: return Insert(hwnd, int(INT_PTR(wParam)), CString(reinterpret_cast<const char16_t*>(lParam)));
    case CB_DELETESTRING: return DeleteString(int(INT_PTR(wParam)));
    case CB_RESETCONTENT: ResetContent(hwnd); return 0;
    case CB_SETCURSEL: {
        int i = int(INT_PTR(wParam));
        Select(hwnd, i, false);
        return (i >= 0 && i < int(m_items.size())) ? i : CB_ERR;
    }
    case CB_GETCURSEL: return m_sel;
    case CB_GETCOUNT: return int(m_items.size());
    case CB_GETLBTEXTLEN: {
        int i = int(INT_PTR(wParam));
        return (i >= 0 && i < int(m_items.size())) ? m_items[size_t(i)].GetLength() : CB_ERR;
    }
    case CB_GETLBTEXT: return GetItemText(int(INT_PTR(wParam)), reinterpret_cast<char16_t*>(lParam));
    case CB_FINDSTRINGEXACT: return FindExact(CString(reinterpret_cast<const char16_t*>(lParam)));
    case CB_SHOWDROPDOWN:
        if (wParam)
            DropDown(hwnd);
        return TRUE;
    case CB_GETDROPPEDSTATE: return FALSE;
    case CB_LIMITTEXT:
        if (HWND edit = Edit(hwnd))
            SendMessage(edit, EM_LIMITTEXT, wParam, 0);
        return TRUE;
    case CB_SETEDITSEL:
        if (HWND edit = Edit(hwnd))
            SendMessage(edit, EM_SETSEL, WPARAM(short(LOWORD(UINT_PTR(lParam)))), short(HIWORD(UINT_PTR(lParam))));
        return TRUE;
    default: return WindowClass::Proc(hwnd, msg, wParam, lParam);
    }
}

void ComboBoxControl::OnCreate(HWND hwnd)
{
    // The template's height counts the dropped list; the field is one row.
    // Scroll bars belong to the dropped list, not to the field.
    hwnd->style &= ~(WS_VSCROLL | WS_HSCROLL);
    int rows = hwnd->rect.Height() / Host::CellPixels().cy - 1;
    m_droppedRows = std::max(1, rows);
    hwnd->rect.bottom = hwnd->rect.top + Host::CellPixels().cy;
    if (HasEdit(hwnd)) {
        DWORD style = WS_CHILD | WS_VISIBLE | ((hwnd->style & CBS_AUTOHSCROLL) ? ES_AUTOHSCROLL : 0);
        CRect client = GetClientRect(hwnd);
        CREATESTRUCT cs;
        cs.lpszClass = u"EDIT";
        cs.style = style;
        cs.cx = client.Width() - Host::CellPixels().cx;
        cs.cy = client.Height();
        cs.hwndParent = hwnd;
        cs.id = kEditId;
        CreateWindowWithProcedure(cs, std::make_unique<EditControl>(style));
    }
}

void ComboBoxControl::OnSize(HWND hwnd)
{
    if (HWND edit = Edit(hwnd)) {
        CRect client = GetClientRect(hwnd);
        MoveWindow(edit, 0, 0, client.Width() - Host::CellPixels().cx, client.Height(), TRUE);
    }
}

void ComboBoxControl::OnEditNotify(HWND hwnd, WPARAM wParam)
{
    // From the edit field: a typed change is the combo box's edit change.
    if (LOWORD(wParam) != kEditId)
        return;
    UINT code = HIWORD(wParam);
    if (code == EN_CHANGE) {
        Notify(hwnd, CBN_EDITUPDATE);
        Notify(hwnd, CBN_EDITCHANGE);
    } else if (code == EN_SETFOCUS) {
        Notify(hwnd, CBN_SETFOCUS);
    } else if (code == EN_KILLFOCUS) {
        Notify(hwnd, CBN_KILLFOCUS);
    }
}

CString ComboBoxControl::Text(HWND hwnd) const
{
    return HasEdit(hwnd) ? GetWindowText(Edit(hwnd)) : (m_sel >= 0 ? m_items[size_t(m_sel)] : CString());
}

int ComboBoxControl::GetText(HWND hwnd, int size, char16_t* buf) const
{
    if (!buf || size <= 0)
        return 0;
    CString text = Text(hwnd);
    int n = std::min(text.GetLength(), size - 1);
    std::copy_n(text.GetString(), n, buf);
    buf[n] = 0;
    return n;
}

void ComboBoxControl::OnSetFocus(HWND hwnd)
{
    if (HWND edit = Edit(hwnd)) {
        SetFocus(edit);
        SendMessage(edit, EM_SETSEL, 0, -1);
    } else {
        Notify(hwnd, CBN_SETFOCUS);
    }
    WindowSystem::Get().Invalidate();
}

void ComboBoxControl::OnKillFocus(HWND hwnd)
{
    if (!HasEdit(hwnd))
        Notify(hwnd, CBN_KILLFOCUS);
    WindowSystem::Get().Invalidate();
}

void ComboBoxControl::OnLButtonDown(HWND hwnd, int x)
{
    SetFocus(hwnd);
    CRect client = GetClientRect(hwnd);
    if (!HasEdit(hwnd) || x >= client.Width() - Host::CellPixels().cx)
        DropDown(hwnd);
}

void ComboBoxControl::OnKeyDown(HWND hwnd, UINT vk)
{
    // Keys reach the combo box itself only for a drop-down list; a
    // drop-down combo box's field forwards the ones it does not use.
    if (vk == VK_F4 || ((vk == VK_DOWN || vk == VK_UP) && GetKeyState(VK_MENU) < 0)) {
        DropDown(hwnd);
        return;
    }
    if (HasEdit(hwnd) || m_items.empty())
        return;
    // A drop-down list moves its selection: arrows by one, Page Up and Page
    // Down by a dropped list's height, Home and End to the ends.
    int last = int(m_items.size()) - 1;
    int next = m_sel;
    switch (vk) {
    case VK_DOWN: next = m_sel + 1; break;
    case VK_UP: next = m_sel - 1; break;
    case VK_NEXT: next = m_sel + m_droppedRows; break;
    case VK_PRIOR: next = m_sel - m_droppedRows; break;
    case VK_HOME: next = 0; break;
    case VK_END: next = last; break;
    default: return;
    }
    next = std::clamp(next, 0, last);
    if (next != m_sel)
        Select(hwnd, next, true);
}

void ComboBoxControl::OnChar(HWND hwnd, char16_t ch)
{
    // A drop-down list chooses the next entry after the selected one, round
    // to the start, that begins with the typed character.
    if (HasEdit(hwnd) || ch < 0x20 || m_items.empty())
        return;
    char16_t typed = CaseFold::Unit(ch);
    int count = int(m_items.size());
    for (int k = 1; k <= count; ++k) {
        int i = (std::max(m_sel, -1) + k) % count;
        const CString& item = m_items[size_t(i)];
        if (!item.IsEmpty() && CaseFold::Unit(item[0]) == typed) {
            if (i != m_sel)
                Select(hwnd, i, true);
            return;
        }
    }
}

int ComboBoxControl::AddString(HWND hwnd, const CString& text)
{
    int index = int(m_items.size());
    if (hwnd->style & CBS_SORT)
        index = int(std::upper_bound(m_items.begin(), m_items.end(), text,
                                     [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; })
                    - m_items.begin());
    return Insert(hwnd, index, text);
}

int ComboBoxControl::DeleteString(int i)
{
    if (i < 0 || i >= int(m_items.size()))
        return CB_ERR;
    m_items.erase(m_items.begin() + i);
    if (m_sel == i)
        m_sel = -1;
    else if (m_sel > i)
        --m_sel;
    WindowSystem::Get().Invalidate();
    return int(m_items.size());
}

void ComboBoxControl::ResetContent(HWND hwnd)
{
    m_items.clear();
    m_sel = -1;
    if (HWND edit = Edit(hwnd))
        SetWindowText(edit, CString());
    WindowSystem::Get().Invalidate();
}

int ComboBoxControl::GetItemText(int i, char16_t* buf) const
{
    if (i < 0 || i >= int(m_items.size()) || !buf)
        return CB_ERR;
    const CString& s = m_items[size_t(i)];
    std::copy_n(s.GetString(), s.GetLength() + 1, buf);
    return s.GetLength();
}

int ComboBoxControl::FindExact(const CString& text) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].CompareNoCase(text) == 0)
            return int(i);
    return CB_ERR;
}

UINT ComboBoxControl::DialogCode(HWND) { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

void ComboBoxControl::Paint(HWND hwnd, CDC& dc)
{
    CSize size = dc.Size();
    bool enabled = IsWindowEnabled(hwnd);
    bool focused = GetFocus() == hwnd;
    std::uint16_t attr = ATTR_FIELD | (enabled ? 0 : ATTR_DISABLED) | (focused ? ATTR_FOCUS : 0);
    dc.FillRect(CRect(0, 0, size.cx, size.cy), attr);
    if (!HasEdit(hwnd)) {
        // A drop-down list has no caret: while it has the focus its face is
        // shown highlighted, as the selected entry of a focused list is.
        std::uint16_t face = attr | (focused ? ATTR_REVERSE : 0);
        dc.FillRect(CRect(0, 0, size.cx - 1, 1), face);
        if (m_sel >= 0)
            dc.TextInBox(0, 0, size.cx - 1, m_items[size_t(m_sel)].View(), face);
        if (focused)
            dc.SetCaret(0, 0);
    }
    dc.TextOut(size.cx - 1, 0, u"\u25BC", ATTR_BUTTON | (enabled ? 0 : ATTR_DISABLED));
}
