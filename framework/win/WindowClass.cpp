#include "framework/win/WindowClass.h"

#include <algorithm>

#include "framework/win/DC.h"
#include "framework/win/WindowSystem.h"

LRESULT WindowClass::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SETTEXT:
        hwnd->text = lParam ? CString(reinterpret_cast<const char16_t*>(lParam)) : CString();
        WindowSystem::Get().Invalidate();
        return TRUE;
    case WM_GETTEXT: {
        // wParam: buffer size in characters, including the terminator.
        auto* buf = reinterpret_cast<char16_t*>(lParam);
        if (!buf || wParam == 0)
            return 0;
        size_t n = std::min<size_t>(size_t(hwnd->text.GetLength()), size_t(wParam) - 1);
        std::copy_n(hwnd->text.GetString(), n, buf);
        buf[n] = 0;
        return LRESULT(n);
    }
    case WM_GETTEXTLENGTH: return hwnd->text.GetLength();
    case WM_SETFONT: hwnd->font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(hwnd->font);
    case WM_MOUSEWHEEL:
        // A window that does not scroll passes the wheel to its parent.
        return hwnd->parent ? SendMessage(hwnd->parent, msg, wParam, lParam) : 0;
    case WM_SETICON: {
        HICON& slot = wParam == ICON_BIG ? hwnd->iconBig : hwnd->iconSmall;
        HICON old = slot;
        slot = reinterpret_cast<HICON>(lParam);
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_PAINT: {
        CDC dc = WindowSystem::Get().Painter().BeginPaint(hwnd);
        Paint(hwnd, dc);
        return 0;
    }
    case WM_GETDLGCODE: return LRESULT(DialogCode(hwnd));
    default: return 0;
    }
}

void WindowClass::Paint(HWND, CDC& dc)
{
    CSize s = dc.Size();
    dc.FillRect(CRect(0, 0, s.cx, s.cy), ATTR_NORMAL);
}
