#include "framework/win/WindowFunctions.h"

#include <algorithm>

#include "framework/res/Resources.h"
#include "framework/win/WindowSystem.h"

HWND CreateWindowWithProcedure(const CREATESTRUCT& cs, std::unique_ptr<WindowProcedure> proc, WindowObject* attach)
{
    return WindowSystem::Get().Tree().Create(cs, std::move(proc), attach);
}

BOOL DestroyWindow(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return FALSE;
    WindowSystem::Get().Tree().Destroy(hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd) { return WindowSystem::Get().Tree().IsLive(hwnd) ? TRUE : FALSE; }

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return WindowSystem::Get().Tree().Send(hwnd, msg, wParam, lParam);
}

LRESULT CallDefaultProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!IsWindow(hwnd) || !hwnd->proc)
        return 0;
    return hwnd->proc->Proc(hwnd, msg, wParam, lParam);
}

BOOL ShowWindow(HWND hwnd, int cmd)
{
    if (!IsWindow(hwnd))
        return FALSE;
    BOOL wasVisible = (hwnd->style & WS_VISIBLE) ? TRUE : FALSE;
    bool show = cmd != SW_HIDE;
    if (show == bool(wasVisible))
        return wasVisible;
    if (show)
        hwnd->style |= WS_VISIBLE;
    else
        hwnd->style &= ~WS_VISIBLE;
    // A hidden window cannot keep the focus.
    if (!show) {
        HWND focus = GetFocus();
        if (focus && (focus == hwnd || IsChild(hwnd, focus)))
            WindowSystem::Get().SetFocus(hwnd->parent ? hwnd->parent : nullptr);
    }
    SendMessage(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    WindowSystem::Get().Invalidate();
    return wasVisible;
}

BOOL IsWindowVisible(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return FALSE;
    for (HWND w = hwnd; w; w = w->parent)
        if (!(w->style & WS_VISIBLE))
            return FALSE;
    return TRUE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable)
{
    if (!IsWindow(hwnd))
        return FALSE;
    BOOL wasDisabled = (hwnd->style & WS_DISABLED) ? TRUE : FALSE;
    if (enable)
        hwnd->style &= ~WS_DISABLED;
    else
        hwnd->style |= WS_DISABLED;
    if (bool(wasDisabled) == !enable)
        return wasDisabled;
    if (!enable) {
        HWND focus = GetFocus();
        if (focus && (focus == hwnd || IsChild(hwnd, focus)))
            WindowSystem::Get().SetFocus(nullptr);
    }
    SendMessage(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    WindowSystem::Get().Invalidate();
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) { return IsWindow(hwnd) && !(hwnd->style & WS_DISABLED) ? TRUE : FALSE; }

HWND SetFocus(HWND hwnd) { return WindowSystem::Get().SetFocus(hwnd); }
HWND GetFocus() { return WindowSystem::Get().Tree().Focus(); }
HWND GetParent(HWND hwnd) { return IsWindow(hwnd) ? hwnd->parent : nullptr; }

HWND GetWindow(HWND hwnd, UINT cmd)
{
    if (!IsWindow(hwnd))
        return nullptr;
    if (cmd == GW_CHILD)
        return hwnd->children.empty() ? nullptr : hwnd->children.front().get();
    if (cmd == GW_OWNER)
        return hwnd->owner;
    if (cmd != GW_HWNDNEXT || !hwnd->parent)
        return nullptr;
    const auto& siblings = hwnd->parent->children;
    for (size_t i = 0; i + 1 < siblings.size(); ++i)
        if (siblings[i].get() == hwnd)
            return siblings[i + 1].get();
    return nullptr;
}

CString GetClassName(HWND hwnd) { return IsWindow(hwnd) ? hwnd->className : CString(); }

LONG GetWindowLong(HWND hwnd, int index)
{
    if (!IsWindow(hwnd))
        return 0;
    if (index == GWL_STYLE)
        return LONG(hwnd->style);
    return index == GWL_ID ? LONG(hwnd->id) : 0;
}

HWND GetDlgItem(HWND hwnd, int id)
{
    if (!IsWindow(hwnd))
        return nullptr;
    for (auto& c : hwnd->children)
        if (int(c->id) == id || (id == -1 && c->id == 0xFFFF))
            return c.get();
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) { return IsWindow(hwnd) ? int(hwnd->id) : 0; }

BOOL IsChild(HWND parent, HWND hwnd) { return IsWindow(hwnd) && IsDescendantOf(hwnd, parent) ? TRUE : FALSE; }

HWND GetTopLevel(HWND hwnd) { return IsWindow(hwnd) ? TopLevelOf(hwnd) : nullptr; }

BOOL SetWindowText(HWND hwnd, const CString& text)
{
    return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.GetString())) ? TRUE : FALSE;
}

CString GetWindowText(HWND hwnd)
{
    int n = int(SendMessage(hwnd, WM_GETTEXTLENGTH));
    std::u16string buf(size_t(n) + 1, u'\0');
    int got = int(SendMessage(hwnd, WM_GETTEXT, WPARAM(n + 1), reinterpret_cast<LPARAM>(buf.data())));
    buf.resize(size_t(std::clamp(got, 0, n)));
    return CString(std::move(buf));
}

int GetWindowTextLength(HWND hwnd) { return int(SendMessage(hwnd, WM_GETTEXTLENGTH)); }

BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL)
{
    if (!IsWindow(hwnd))
        return FALSE;
    WindowSystem::Get().Invalidate();
    WindowSystem::Get().Tree().Move(hwnd, x, y, cx, cy);
    return TRUE;
}

CRect GetClientRect(HWND hwnd) { return IsWindow(hwnd) ? ClientRectOf(hwnd) : CRect(); }

CRect GetWindowRect(HWND hwnd) { return IsWindow(hwnd) ? WindowSystem::Get().Viewport().WindowRect(hwnd) : CRect(); }

CPoint ClientToScreen(HWND hwnd, CPoint p)
{
    return IsWindow(hwnd) ? WindowSystem::Get().Viewport().ClientToScreen(hwnd, p) : p;
}

BOOL InvalidateRect(HWND hwnd, const CRect*, BOOL)
{
    if (!IsWindow(hwnd))
        return FALSE;
    WindowSystem::Get().Invalidate();
    return TRUE;
}

void MessageBeep(UINT type)
{
    if (Host* host = WindowSystem::Get().GetHost())
        host->Beep(type);
}

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO& info, BOOL)
{
    if (!IsWindow(hwnd) || bar < 0 || bar > 1)
        return 0;
    hwnd->scroll[bar] = info;
    WindowSystem::Get().Invalidate();
    return info.nPos;
}

SCROLLINFO GetScrollInfo(HWND hwnd, int bar)
{
    if (!IsWindow(hwnd) || bar < 0 || bar > 1)
        return {};
    return hwnd->scroll[bar];
}

CRect GetWindowCells(HWND hwnd) { return CellRectFromPixels(GetWindowRect(hwnd)); }

CRect GetClientCells(HWND hwnd) { return IsWindow(hwnd) ? WindowSystem::Get().Viewport().ClientCells(hwnd) : CRect(); }

short GetKeyState(int vk) { return WindowSystem::Get().Router().IsKeyDown(UINT(vk)) ? short(-128) : short(0); }

HICON LoadIcon(UINT id) { return res::FindIcon(id) ? reinterpret_cast<HICON>(UINT_PTR(id)) : nullptr; }
