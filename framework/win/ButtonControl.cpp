#include "framework/win/ButtonControl.h"

#include <algorithm>

#include "framework/win/DC.h"
#include "framework/win/StaticControl.h"
#include "framework/win/WindowSystem.h"

namespace {
DWORD TypeOf(HWND hwnd) { return hwnd->style & BS_TYPEMASK; }
bool IsPush(HWND hwnd) { return TypeOf(hwnd) == BS_PUSHBUTTON || TypeOf(hwnd) == BS_DEFPUSHBUTTON; }
bool IsCheck(HWND hwnd)
{
    DWORD t = TypeOf(hwnd);
    return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE;
}
}  // namespace

void ButtonControl::Click(HWND hwnd)
{
    if (!IsWindowEnabled(hwnd) || TypeOf(hwnd) == BS_GROUPBOX)
        return;
    if (TypeOf(hwnd) == BS_AUTOCHECKBOX)
        m_check = m_check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    WindowSystem::Get().Invalidate();
    if (hwnd->parent)
        SendMessage(hwnd->parent, WM_COMMAND, MAKEWPARAM(WORD(hwnd->id), BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
}

LRESULT ButtonControl::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case BM_GETCHECK: return m_check;
    case BM_SETCHECK:
        m_check = int(wParam);
        WindowSystem::Get().Invalidate();
        return 0;
    case BM_GETSTATE: return m_check | (m_pressed ? 4 : 0);
    case BM_SETSTYLE:
        hwnd->style = (hwnd->style & ~BS_TYPEMASK) | (DWORD(wParam) & BS_TYPEMASK);
        WindowSystem::Get().Invalidate();
        return 0;
    case BM_CLICK: Click(hwnd); return 0;
    case WM_LBUTTONDOWN:
        if (TypeOf(hwnd) == BS_GROUPBOX)
            return 0;
        m_pressed = true;
        SetFocus(hwnd);
        WindowSystem::Get().Invalidate();
        return 0;
    case WM_LBUTTONUP: {
        bool was = m_pressed;
        m_pressed = false;
        CRect client = GetClientRect(hwnd);
        CPoint p{short(LOWORD(UINT_PTR(lParam))), short(HIWORD(UINT_PTR(lParam)))};
        if (was && client.PtInRect(p))
            Click(hwnd);
        return 0;
    }
    case WM_CHAR:
        if (wParam == u' ')
            Click(hwnd);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: WindowSystem::Get().Invalidate(); return 0;
    default: return WindowClass::Proc(hwnd, msg, wParam, lParam);
    }
}

UINT ButtonControl::DialogCode(HWND hwnd)
{
    if (TypeOf(hwnd) == BS_DEFPUSHBUTTON)
        return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    if (TypeOf(hwnd) == BS_PUSHBUTTON)
        return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    return DLGC_BUTTON;
}

void ButtonControl::Paint(HWND hwnd, CDC& dc)
{
    CSize size = dc.Size();
    bool enabled = IsWindowEnabled(hwnd);
    bool focused = GetFocus() == hwnd;
    CString text = StripMnemonic(hwnd->text);
    std::uint16_t attr = enabled ? ATTR_NORMAL : ATTR_DISABLED;
    if (focused)
        attr |= ATTR_FOCUS;
    dc.FillRect(CRect(0, 0, size.cx, size.cy), enabled ? ATTR_NORMAL : ATTR_DISABLED);
    if (IsPush(hwnd)) {
        attr |= ATTR_BUTTON;
        if (m_pressed)
            attr |= ATTR_REVERSE;
        if (TypeOf(hwnd) == BS_DEFPUSHBUTTON)
            attr |= ATTR_BOLD;
        // Brackets always show the button's edges, so that it reads as a
        // button at any width; a label longer than the room between them
        // is cut (dialogs are laid out so that it fits).
        if (size.cx >= 2) {
            dc.TextInBox(1, 0, size.cx - 2, text.View(), attr, 1);
            dc.TextOut(0, 0, u"[", attr);
            dc.TextOut(size.cx - 1, 0, u"]", attr);
        } else {
            dc.TextInBox(0, 0, size.cx, text.View(), attr, 1);
        }
        // The cursor stands on the focused button's label, so the focus
        // shows even where colours and video attributes do not.
        if (focused)
            dc.SetCaret(std::max(0, (size.cx - text.GetLength()) / 2), 0);
    } else if (IsCheck(hwnd)) {
        // The box, and the label too, carry the focus: bold, or the focus
        // colours, on the whole control.
        dc.TextOut(0, 0, m_check == BST_CHECKED ? u"[x]" : m_check == 2 ? u"[-]" : u"[ ]", attr);
        dc.TextOut(4, 0, text.View(), attr);
        if (focused)
            dc.SetCaret(1, 0);
    } else if (TypeOf(hwnd) == BS_GROUPBOX) {
        dc.TextOut(0, 0, text.View(), attr);
    } else {
        dc.TextOut(0, 0, text.View(), attr);
    }
}
