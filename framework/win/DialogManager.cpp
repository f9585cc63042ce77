#include "framework/win/DialogManager.h"

#include <algorithm>

#include "framework/screen/Host.h"
#include "framework/win/ControlFitting.h"
#include "framework/win/DialogUnits.h"
#include "framework/win/WindowClass.h"
#include "framework/win/WindowCreation.h"
#include "framework/win/WindowFunctions.h"
#include "framework/win/Wnd.h"

void CreateDialogControls(const res::DialogTemplate& tmpl, HWND dialog)
{
    // Each control lands on whole cells, fitted to what it shows.
    const std::vector<CRect> cells = FitControlsToCells(tmpl.items);
    const CSize px = Host::CellPixels();
    for (size_t i = 0; i < tmpl.items.size(); ++i) {
        const res::DialogItem& item = tmpl.items[i];
        CRect r(cells[i].left * px.cx, cells[i].top * px.cy, cells[i].right * px.cx, cells[i].bottom * px.cy);
        UINT id = item.id < 0 ? 0xFFFF : UINT(item.id);
        HWND ctl = CreateWindowEx(item.exStyle, CString(item.className), CString(item.text), item.style | WS_CHILD,
                                  r.left, r.top, r.Width(), r.Height(), dialog, id, nullptr);
        if (ctl && item.textId && (item.style & SS_TYPEMASK) == SS_ICON)
            SendMessage(ctl, STM_SETICON, WPARAM(item.textId), 0);
    }
}

HWND CreateDialogIndirect(const res::DialogTemplate& tmpl, HWND parent, CWnd* wnd)
{
    bool child = (tmpl.style & WS_CHILD) != 0;
    CRect client = MapDialogRect(CRect(tmpl.x, tmpl.y, tmpl.x + tmpl.cx, tmpl.y + tmpl.cy));
    int captionY = (tmpl.style & WS_CAPTION) == WS_CAPTION ? Host::CellPixels().cy : 0;
    CRect r(client.left, client.top, client.right, client.bottom + captionY);
    if (!child && IsWindow(parent)) {
        // A popup's template position is relative to its owner's client
        // area, as the owner was placed (not as a small screen shows it).
        HWND owner = GetTopLevel(parent);
        int ownerCaption = (owner->style & WS_CAPTION) == WS_CAPTION ? Host::CellPixels().cy : 0;
        r.OffsetRect(owner->rect.left, owner->rect.top + ownerCaption);
    }
    DWORD style = tmpl.style & ~WS_VISIBLE;
    CREATESTRUCT cs;
    cs.dwExStyle = tmpl.exStyle;
    cs.lpszClass = u"#32770";
    cs.lpszName = CString(tmpl.caption);
    cs.style = style;
    cs.x = r.left;
    cs.y = r.top;
    cs.cx = r.Width();
    cs.cy = r.Height();
    cs.hwndParent = parent;
    HWND hwnd = AfxCreateWindow(wnd, cs);
    if (!hwnd)
        return nullptr;
    CreateDialogControls(tmpl, hwnd);
    return hwnd;
}

HWND DialogControlOf(HWND dialog, HWND hwnd)
{
    while (hwnd && hwnd->parent && hwnd->parent != dialog)
        hwnd = hwnd->parent;
    return hwnd && hwnd->parent == dialog ? hwnd : nullptr;
}

HWND GetNextDlgTabItem(HWND dialog, HWND ctl, BOOL previous)
{
    auto& kids = dialog->children;
    int n = int(kids.size());
    if (n == 0)
        return nullptr;
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (kids[size_t(i)].get() == ctl)
            start = i;
    for (int step = 1; step <= n; ++step) {
        int i = previous ? ((start < 0 ? n : start) - step + 2 * n) % n : (start + step + n) % n;
        HWND c = kids[size_t(i)].get();
        if ((c->style & WS_TABSTOP) && (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED))
            return c;
    }
    return nullptr;
}

void FocusDialogControl(HWND ctl)
{
    if (!IsWindow(ctl))
        return;
    SetFocus(ctl);
    // Tabbing into a field selects what it holds.
    HWND focus = GetFocus();
    if (focus && focus->className.CompareNoCase(u"EDIT") == 0 && !(focus->style & ES_MULTILINE))
        SendMessage(focus, EM_SETSEL, 0, -1);
}

namespace {

HWND DefaultButton(HWND dialog)
{
    for (auto& c : dialog->children)
        if (c->className.CompareNoCase(u"BUTTON") == 0 && (c->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON
            && (c->style & WS_VISIBLE))
            return c.get();
    return nullptr;
}

void Command(HWND dialog, HWND ctl, UINT id)
{
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), reinterpret_cast<LPARAM>(ctl));
}

}  // namespace

BOOL IsDialogMessage(HWND dialog, MSG* msg)
{
    if (!IsWindow(dialog) || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return FALSE;
    HWND focus = GetFocus();
    if (focus && focus != dialog && !IsChild(dialog, focus))
        return FALSE;
    // A drop-down combo box's field passes on the keys that open the list
    // (F4, Alt+Down, Alt+Up) to its combo box.
    if (HWND ctl = focus ? DialogControlOf(dialog, focus) : nullptr; ctl && ctl != focus
        && ctl->className.CompareNoCase(u"COMBOBOX") == 0
        && ((msg->message == WM_KEYDOWN && msg->wParam == VK_F4)
            || (msg->message == WM_SYSKEYDOWN && (msg->wParam == VK_DOWN || msg->wParam == VK_UP)))) {
        SendMessage(ctl, msg->message, msg->wParam, msg->lParam);
        return TRUE;
    }
    if (msg->message != WM_KEYDOWN)
        return FALSE;
    UINT code = focus ? UINT(SendMessage(focus, WM_GETDLGCODE, msg->wParam, 0)) : 0;
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    switch (msg->wParam) {
    case VK_TAB: {
        if (ctrl || (code & DLGC_WANTTAB))
            return FALSE;
        HWND current = focus ? DialogControlOf(dialog, focus) : nullptr;
        HWND next = GetNextDlgTabItem(dialog, current, GetKeyState(VK_SHIFT) < 0);
        if (next)
            FocusDialogControl(next);
        return TRUE;
    }
    case VK_RETURN: {
        if (code & DLGC_WANTALLKEYS)
            return FALSE;
        HWND current = focus ? DialogControlOf(dialog, focus) : nullptr;
        if (current && current->className.CompareNoCase(u"BUTTON") == 0
            && ((current->style & BS_TYPEMASK) == BS_PUSHBUTTON
                || (current->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)) {
            if (IsWindowEnabled(current))
                Command(dialog, current, current->id);
            return TRUE;
        }
        HWND def = DefaultButton(dialog);
        if (def) {
            if (IsWindowEnabled(def))
                Command(dialog, def, def->id);
        } else {
            Command(dialog, GetDlgItem(dialog, IDOK), IDOK);
        }
        return TRUE;
    }
    case VK_ESCAPE: Command(dialog, GetDlgItem(dialog, IDCANCEL), IDCANCEL); return TRUE;
    default: return FALSE;
    }
}
