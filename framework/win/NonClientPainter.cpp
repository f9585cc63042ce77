#include "framework/win/NonClientPainter.h"

#include <algorithm>
#include <cstdint>

void PaintNonClient(HWND hwnd, CDC& dc, const CRect& cells)
{
    int w = cells.Width();
    int h = cells.Height();
    int top = 0;
    if ((hwnd->style & WS_CAPTION) == WS_CAPTION) {
        std::uint16_t attr = ATTR_CAPTION | ATTR_BAR;
        dc.FillRect(CRect(0, 0, w, 1), attr);
        dc.TextOut(1, 0, hwnd->text.View(), attr);
        int right = w;
        if (hwnd->style & WS_SYSMENU) {
            right -= 3;
            dc.TextOut(right, 0, u"[x]", attr);
        }
        if (hwnd->exStyle & WS_EX_CAPTIONOKBTN) {
            right -= 4;
            dc.TextOut(right, 0, u"[OK]", attr);
        }
        top = 1;
    }
    bool v = hwnd->style & WS_VSCROLL;
    bool hz = hwnd->style & WS_HSCROLL;
    auto thumb = [](const SCROLLINFO& si, int track) {
        int range = si.nMax - si.nMin + 1;
        if (track <= 0 || range <= int(si.nPage) || range <= 0)
            return -1;
        int span = range - int(si.nPage);
        return int((long long)(si.nPos - si.nMin) * (track - 1) / std::max(span, 1));
    };
    if (v) {
        int x = w - 1;
        int len = h - top - (hz ? 1 : 0);
        dc.FillRect(CRect(x, top, x + 1, top + len), ATTR_BAR, u'\u2591');
        if (len >= 2) {
            dc.SetCell(x, top, Cell{u'\u25B2', ATTR_BAR});
            dc.SetCell(x, top + len - 1, Cell{u'\u25BC', ATTR_BAR});
            int t = thumb(hwnd->scroll[SB_VERT], len - 2);
            if (t >= 0)
                dc.SetCell(x, top + 1 + t, Cell{u'\u2588', ATTR_BAR});
        }
    }
    if (hz) {
        int y = h - 1;
        int len = w - (v ? 1 : 0);
        dc.FillRect(CRect(0, y, len, y + 1), ATTR_BAR, u'\u2591');
        if (len >= 2) {
            dc.SetCell(0, y, Cell{u'\u25C4', ATTR_BAR});
            dc.SetCell(len - 1, y, Cell{u'\u25BA', ATTR_BAR});
            int t = thumb(hwnd->scroll[SB_HORZ], len - 2);
            if (t >= 0)
                dc.SetCell(1 + t, y, Cell{u'\u2588', ATTR_BAR});
        }
        if (v)
            dc.SetCell(w - 1, y, Cell{u' ', ATTR_BAR});
    }
}

void PaintFrame(CDC& dc, CSize client, CSize hidden, CPoint offset)
{
    int w = client.cx;
    int h = client.cy;
    if (w < 2 || h < 1)
        return;
    for (int y = 0; y < h - 1; ++y) {
        dc.SetCell(0, y, Cell{u'\u2502', ATTR_NORMAL});
        dc.SetCell(w - 1, y, Cell{u'\u2502', ATTR_NORMAL});
    }
    dc.FillRect(CRect(1, h - 1, w - 1, h), ATTR_NORMAL, u'\u2500');
    dc.SetCell(0, h - 1, Cell{u'\u2514', ATTR_NORMAL});
    dc.SetCell(w - 1, h - 1, Cell{u'\u2518', ATTR_NORMAL});
    // Arrows on the frame say where the client area goes on out of view.
    if (h >= 3) {
        if (offset.y > 0)
            dc.SetCell(w - 1, 0, Cell{u'\u25B2', ATTR_BAR});
        if (offset.y < hidden.cy)
            dc.SetCell(w - 1, h - 2, Cell{u'\u25BC', ATTR_BAR});
    }
    if (w >= 4) {
        if (offset.x > 0)
            dc.SetCell(1, h - 1, Cell{u'\u25C4', ATTR_BAR});
        if (offset.x < hidden.cx)
            dc.SetCell(w - 2, h - 1, Cell{u'\u25BA', ATTR_BAR});
    }
}
