// The desktop, one per process, made of four parts that each keep their own
// state: the window tree (the windows, the focus, the delivery of
// messages), the popup viewport (where windows show on the screen, and the
// view of a popup larger than it), the painter (the canvas and the paint
// pass) and the input router (host events into messages, the mouse capture,
// the modal loop). It connects them to the host and to each other; the
// window functions, the hosts and the programs reach the parts through it.
#pragma once

#include "framework/base/Geometry.h"
#include "framework/screen/Host.h"
#include "framework/win/InputRouter.h"
#include "framework/win/PopupViewport.h"
#include "framework/win/ScreenPainter.h"
#include "framework/win/Window.h"
#include "framework/win/WindowTree.h"

class WindowSystem {
public:
    static WindowSystem& Get();

    void SetHost(Host* host);
    Host* GetHost() const { return m_host; }
    // Destroys every window; used between tests and at exit.
    void Reset();

    WindowTree& Tree() { return m_tree; }
    PopupViewport& Viewport() { return m_viewport; }
    ScreenPainter& Painter() { return m_painter; }
    InputRouter& Router() { return m_router; }

    // Moves the focus; a cut popup scrolls the window that takes it into
    // view.
    HWND SetFocus(HWND hwnd);
    // The calls made most, answered by the part that holds them.
    HWND ActiveTopLevel() const { return m_tree.ActiveTopLevel(); }
    void Invalidate() { m_painter.Invalidate(); }
    const Canvas& Paint() { return m_painter.Paint(); }
    void Dispatch(const InputEvent& event) { m_router.Dispatch(event); }
    HWND WindowFromCell(CPoint cell, bool* inClient) const { return m_router.WindowFromCell(cell, inClient); }

private:
    WindowSystem();

    Host* m_host = nullptr;
    PopupViewport m_viewport;
    WindowTree m_tree;
    ScreenPainter m_painter{m_tree, m_viewport};
    InputRouter m_router{m_tree, m_viewport, m_painter};
};
