#include "framework/win/DialogUnits.h"

CRect MapDialogRect(const CRect& d)
{
    auto x = [](int v) { return v * kDialogBaseUnitX / 4; };
    auto y = [](int v) { return v * kDialogBaseUnitY / 8; };
    return CRect(x(d.left), y(d.top), x(d.right), y(d.bottom));
}
