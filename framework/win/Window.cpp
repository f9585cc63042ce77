#include "framework/win/Window.h"

#include <algorithm>

#include "framework/screen/Host.h"

CRect CellRectFromPixels(const CRect& px)
{
    CSize cell = Host::CellPixels();
    auto col = [&](int v) { return (v >= 0 ? v + cell.cx / 2 : v - cell.cx / 2) / cell.cx; };
    auto row = [&](int v) { return (v >= 0 ? v + cell.cy / 2 : v - cell.cy / 2) / cell.cy; };
    return CRect(col(px.left), row(px.top), col(px.right), row(px.bottom));
}

HWND TopLevelOf(HWND hwnd)
{
    while (hwnd->parent)
        hwnd = hwnd->parent;
    return hwnd;
}

bool IsDescendantOf(HWND hwnd, HWND ancestor)
{
    for (HWND w = hwnd->parent; w; w = w->parent)
        if (w == ancestor)
            return true;
    return false;
}

CRect ClientRectOf(HWND hwnd)
{
    CSize cell = Host::CellPixels();
    int w = hwnd->rect.Width();
    int h = hwnd->rect.Height();
    if ((hwnd->style & WS_CAPTION) == WS_CAPTION)
        h -= cell.cy;
    if (hwnd->style & WS_VSCROLL)
        w -= cell.cx;
    if (hwnd->style & WS_HSCROLL)
        h -= cell.cy;
    return CRect(0, 0, std::max(w, 0), std::max(h, 0));
}

bool IsFramed(HWND hwnd) { return hwnd->proc && hwnd->proc->Framed(hwnd); }
