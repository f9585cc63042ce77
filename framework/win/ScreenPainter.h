// The painter: the screen's canvas and the paint pass that draws the window
// tree into it, afresh each time. Top-level windows are drawn bottom to
// top, each window before its children: its non-client parts (caption,
// scroll bars; NonClientPainter), then its client area by WM_PAINT on the
// surface BeginPaint gives it, then its children inside its child area,
// then a framed window's frame over the edges, and last the grey of a
// top-level window that a modal one has disabled.
#pragma once

#include "framework/screen/Canvas.h"
#include "framework/win/DC.h"
#include "framework/win/PopupViewport.h"
#include "framework/win/Window.h"
#include "framework/win/WindowTree.h"

class Host;

class ScreenPainter {
public:
    ScreenPainter(WindowTree& tree, const PopupViewport& viewport) : m_tree(tree), m_viewport(viewport) {}

    // The host the canvas is presented to.
    void SetHost(Host* host) { m_host = host; }
    // Notes that what shows has changed; every paint draws everything, so
    // nothing waits on it.
    void Invalidate() { m_dirty = true; }
    // Brings the canvas up to date (idle updates of command state first).
    const Canvas& Paint();
    // Paints and hands the canvas to the host.
    void Present();
    // The surface of the client area of the window being painted; any other
    // window, or a window outside the paint pass, draws nowhere.
    CDC BeginPaint(HWND hwnd);

private:
    void PaintWindow(HWND hwnd, const CRect& clip);

    WindowTree& m_tree;
    const PopupViewport& m_viewport;
    Host* m_host = nullptr;
    Canvas m_canvas;
    // The window whose WM_PAINT is running, and its surface.
    HWND m_painting = nullptr;
    CDC m_paintDC{nullptr, {}, {}};
    bool m_dirty = true;
};
