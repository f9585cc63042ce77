#include "framework/win/Window.h"

#include "framework/screen/Host.h"

CRect CellRectFromPixels(const CRect& px)
{
    CSize cell = Host::CellPixels();
    auto col = [&](int v) { return (v >= 0 ? v + cell.cx / 2 : v - cell.cx / 2) / cell.cx; };
    auto row = [&](int v) { return (v >= 0 ? v + cell.cy / 2 : v - cell.cy / 2) / cell.cy; };
    return CRect(col(px.left), row(px.top), col(px.right), row(px.bottom));
}

