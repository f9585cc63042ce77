#include "framework/win/DialogWindowClass.h"

#include "framework/win/WindowSystem.h"

LRESULT DialogWindowClass::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CLOSE) {
        SendMessage(hwnd, WM_COMMAND, IDCANCEL, 0);
        return 0;
    }
    if (msg == WM_MOUSEWHEEL && !hwnd->parent) {
        // The wheel over a popup dialog that is larger than the screen, and
        // not over a control that scrolls, scrolls the dialog like a text.
        int lines = short(HIWORD(wParam)) * WHEEL_SCROLL_LINES / WHEEL_DELTA;
        WindowSystem::Get().Viewport().ScrollView(hwnd, 0, -lines);
        return 0;
    }
    return WindowClass::Proc(hwnd, msg, wParam, lParam);
}
