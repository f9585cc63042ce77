#include "framework/win/PopupViewport.h"

#include <algorithm>

#include "framework/screen/Host.h"

CSize PopupViewport::ScreenCells() const { return m_host ? m_host->ScreenCells() : CSize(80, 24); }

CSize PopupViewport::ScreenPixels() const
{
    CSize cells = ScreenCells();
    CSize cell = Host::CellPixels();
    return {cells.cx * cell.cx, cells.cy * cell.cy};
}

CRect PopupViewport::WindowRect(HWND hwnd) const
{
    if (!hwnd->parent)
        return ShownRect(hwnd);
    CRect r = hwnd->rect;
    CPoint origin = ClientToScreen(hwnd->parent, CPoint(0, 0));
    r.OffsetRect(origin.x, origin.y);
    return r;
}

CPoint PopupViewport::ClientToScreen(HWND hwnd, CPoint p) const
{
    CRect r = WindowRect(hwnd);
    CSize cell = Host::CellPixels();
    int captionY = (hwnd->style & WS_CAPTION) == WS_CAPTION ? cell.cy : 0;
    CPoint scrolled = hwnd->parent ? CPoint() : ViewOffset(hwnd);
    return {r.left + p.x - scrolled.x * cell.cx, r.top + captionY + p.y - scrolled.y * cell.cy};
}

CRect PopupViewport::WindowCells(HWND hwnd) const { return CellRectFromPixels(WindowRect(hwnd)); }

CRect PopupViewport::ClientCells(HWND hwnd) const
{
    CRect r = WindowCells(hwnd);
    if ((hwnd->style & WS_CAPTION) == WS_CAPTION)
        r.top += 1;
    if (hwnd->style & WS_VSCROLL)
        r.right -= 1;
    if (hwnd->style & WS_HSCROLL)
        r.bottom -= 1;
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

CPoint PopupViewport::ClientOriginCell(HWND hwnd) const
{
    CPoint o = ClientToScreen(hwnd, CPoint(0, 0));
    return CellRectFromPixels(CRect(o.x, o.y, o.x, o.y)).TopLeft();
}

CRect PopupViewport::ChildArea(HWND hwnd) const
{
    CRect r = ClientCells(hwnd);
    if (IsFramed(hwnd) && r.Width() >= 2 && r.Height() >= 1) {
        r.left += 1;
        r.right -= 1;
        r.bottom -= 1;
    }
    return r;
}

CRect PopupViewport::ShownRect(HWND hwnd) const
{
    CRect r = hwnd->rect;
    if (hwnd->parent || !(hwnd->style & WS_POPUP))
        return r;
    CSize screen = ScreenPixels();
    if (r.left >= 0 && r.top >= 0 && r.right <= screen.cx && r.bottom <= screen.cy)
        return r;
    CSize cell = Host::CellPixels();
    int cols = screen.cx / cell.cx;
    int rows = screen.cy / cell.cy;
    CRect cells = CellRectFromPixels(r);
    int w = std::min(cells.Width(), cols);
    int h = std::min(cells.Height(), rows);
    int x = std::clamp(cells.left, 0, cols - w);
    int y = std::clamp(cells.top, 0, rows - h);
    return CRect(x * cell.cx, y * cell.cy, (x + w) * cell.cx, (y + h) * cell.cy);
}

CSize PopupViewport::HiddenCells(HWND hwnd) const
{
    if (hwnd->parent)
        return {};
    CRect natural = CellRectFromPixels(hwnd->rect);
    CRect shown = CellRectFromPixels(ShownRect(hwnd));
    return {std::max(0, natural.Width() - shown.Width()), std::max(0, natural.Height() - shown.Height())};
}

CPoint PopupViewport::ViewOffset(HWND hwnd) const
{
    CSize hidden = HiddenCells(hwnd);
    return {std::clamp(hwnd->viewOffset.x, 0, hidden.cx), std::clamp(hwnd->viewOffset.y, 0, hidden.cy)};
}

bool PopupViewport::ScrollView(HWND hwnd, int dx, int dy)
{
    if (hwnd->parent)
        return false;
    CSize hidden = HiddenCells(hwnd);
    CPoint old = ViewOffset(hwnd);
    CPoint now(std::clamp(old.x + dx, 0, hidden.cx), std::clamp(old.y + dy, 0, hidden.cy));
    hwnd->viewOffset = now;
    return now != old;
}

void PopupViewport::RevealFocus(HWND focus)
{
    if (!focus)
        return;
    HWND top = TopLevelOf(focus);
    CSize hidden = HiddenCells(top);
    if (hidden == CSize())
        return;
    // The top-level window's control that holds the focus (a combo box for
    // its field), in cells of the client area; and the part of the client
    // area that shows inside the frame, in the same cells unscrolled.
    HWND ctl = focus;
    while (ctl->parent && ctl->parent != top)
        ctl = ctl->parent;
    if (ctl == top)
        return;
    CRect c = CellRectFromPixels(ctl->rect);
    CRect client = ClientCells(top);
    CRect inside = ChildArea(top);
    inside.OffsetRect(-client.left, -client.top);
    // Along each axis a control that fits shows whole, with a cell of the
    // dialog beside it where there is room, so that it does not touch the
    // frame; a larger one shows from its near edge (a field with its label
    // before it stays as it is while its start shows).
    auto reveal = [](int offset, int start, int end, int lo, int hi, int most) {
        int room = (hi - lo) - (end - start);
        int margin = room >= 2 || room < 0 ? 1 : 0;
        if (room >= 0 && end - offset > hi)
            offset = end - hi + margin;
        if (start - offset < lo)
            offset = start - lo - margin;
        return std::clamp(offset, 0, most);
    };
    CPoint old = ViewOffset(top);
    CPoint now(reveal(old.x, c.left, c.right, inside.left, inside.right, hidden.cx),
               reveal(old.y, c.top, c.bottom, inside.top, inside.bottom, hidden.cy));
    // An offset that still holds stays as it was set, beyond what this
    // screen cuts off, for a smaller screen to come.
    if (now != old)
        top->viewOffset = now;
}
