// The desktop: the top-level windows, the keyboard focus, the mouse
// capture, the screen canvas, and the turning of host input into window
// messages. One exists per process. Its parts live in files named after
// their jobs: WindowTree.cpp (the tree, focus, messages, the paint pass),
// PopupViewport.cpp (popups larger than the screen), InputRouter.cpp (input
// and the modal loop); NonClientPainter draws captions, frames and bars.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "framework/screen/Host.h"
#include "framework/win/InputRouter.h"
#include "framework/win/PopupViewport.h"
#include "framework/win/ScreenPainter.h"
#include "framework/win/WindowTree.h"
#include "framework/win/Window.h"

class WindowSystem {
public:
    static WindowSystem& Get();

    void SetHost(Host* host);
    Host* GetHost() const { return m_host; }
    // Destroys every window; used between tests and at exit.
    void Reset();

    // Where windows show, and the view of a popup larger than the screen.
    PopupViewport& Viewport() { return m_viewport; }
    // Screen size in pixels, from the host's cells.
    CSize ScreenPixels() const { return m_viewport.ScreenPixels(); }

    // The windows, the focus and the delivery of messages.
    WindowTree& Tree() { return m_tree; }
    // Moves the focus; a cut popup scrolls the window that takes it into
    // view.
    HWND SetFocus(HWND hwnd);
    HWND ActiveTopLevel() const { return m_tree.ActiveTopLevel(); }

    // The canvas and the paint pass.
    ScreenPainter& Painter() { return m_painter; }
    void Invalidate() { m_painter.Invalidate(); }
    const Canvas& Paint() { return m_painter.Paint(); }

    // Host input turned into window messages, and the modal loop.
    InputRouter& Router() { return m_router; }
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
