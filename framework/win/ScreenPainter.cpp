#include "framework/win/ScreenPainter.h"

#include "framework/screen/Host.h"
#include "framework/win/NonClientPainter.h"

const Canvas& ScreenPainter::Paint()
{
    // Command state (toolbar buttons) is brought up to date when idle.
    const auto& topLevels = m_tree.TopLevels();
    for (size_t i = 0; i < topLevels.size(); ++i)
        m_tree.Send(topLevels[i].get(), WM_IDLEUPDATECMDUI, TRUE);
    CSize cells = m_viewport.ScreenCells();
    if (m_canvas.Cols() != cells.cx || m_canvas.Rows() != cells.cy)
        m_canvas.Resize(cells.cx, cells.cy);
    m_canvas.Clear();
    CRect screen(0, 0, cells.cx, cells.cy);
    for (size_t i = 0; i < topLevels.size(); ++i) {
        HWND w = topLevels[i].get();
        if (w->style & WS_VISIBLE)
            PaintWindow(w, screen);
    }
    m_dirty = false;
    return m_canvas;
}

CDC ScreenPainter::BeginPaint(HWND hwnd)
{
    if (hwnd == m_painting)
        return m_paintDC;
    // Painting outside a paint cycle draws nowhere.
    return CDC(&m_canvas, {}, CRect());
}

void ScreenPainter::PaintWindow(HWND hwnd, const CRect& clip)
{
    CRect cells = m_viewport.WindowCells(hwnd);
    CRect visible;
    if (!visible.IntersectRect(cells, clip))
        return;
    CDC whole(&m_canvas, cells.TopLeft(), visible);
    PaintNonClient(hwnd, whole, cells);

    CRect client = m_viewport.ClientCells(hwnd);
    CRect clientVisible;
    if (clientVisible.IntersectRect(client, visible)) {
        HWND savedWnd = m_painting;
        CDC savedDC = m_paintDC;
        m_painting = hwnd;
        // A control cut by its dialog's frame or the screen still lays out
        // over its whole client area; a cut popup's client area is the
        // whole of it, shown or not.
        CSize hidden = m_viewport.HiddenCells(hwnd);
        CSize size(client.Width() + hidden.cx, client.Height() + hidden.cy);
        m_paintDC = CDC(&m_canvas, m_viewport.ClientOriginCell(hwnd), clientVisible, size);
        m_tree.Send(hwnd, WM_PAINT);
        m_painting = savedWnd;
        m_paintDC = savedDC;
        // Children stay inside the frame, which is drawn over the edges last.
        CRect childClip;
        if (childClip.IntersectRect(m_viewport.ChildArea(hwnd), clientVisible)) {
            for (size_t i = 0; i < hwnd->children.size(); ++i) {
                HWND child = hwnd->children[i].get();
                if (child->style & WS_VISIBLE)
                    PaintWindow(child, childClip);
            }
        }
        if (IsFramed(hwnd)) {
            CDC frame(&m_canvas, client.TopLeft(), clientVisible);
            PaintFrame(frame, CSize(client.Width(), client.Height()), hidden, m_viewport.ViewOffset(hwnd));
        }
    }
    if (!hwnd->parent && (hwnd->style & WS_DISABLED))
        whole.AddAttr(CRect(0, 0, cells.Width(), cells.Height()), ATTR_INACTIVE);
}

void ScreenPainter::Present()
{
    if (!m_host)
        return;
    m_host->Present(Paint());
}
