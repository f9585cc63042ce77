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
    // Makes a window of the class cs names (WindowTree::Create).
    HWND Create(const CREATESTRUCT& cs, WindowObject* attach);
    // Moves the focus; a cut popup scrolls the window that takes it into
    // view.
    HWND SetFocus(HWND hwnd);
    HWND ActiveTopLevel() const { return m_tree.ActiveTopLevel(); }

    // The canvas and the paint pass.
    ScreenPainter& Painter() { return m_painter; }
    void Invalidate() { m_painter.Invalidate(); }
    const Canvas& Paint() { return m_painter.Paint(); }

    // --- input (InputRouter.cpp) ---
    // Turns one host event into window messages.
    void Dispatch(const InputEvent& event);
    // Runs events until done() holds. Returns false when input ended first.
    bool RunModalLoop(const std::function<bool()>& done);
    bool InputEnded() const { return m_inputEnded; }
    // Whether the session ended (an EndSession event), and the signal that
    // ended it (0 when the terminal went away).
    bool SessionEnded() const { return m_sessionEnded; }
    int SessionEndSignal() const { return m_sessionEndSignal; }
    // The modifier keys of the event being dispatched (GetKeyState).
    bool IsKeyDown(UINT vk) const;

    // Finds the deepest visible window at a screen cell, and says whether
    // the cell lies in its client area.
    HWND WindowFromCell(CPoint cell, bool* inClient) const;
    // Client pixels of the centre of a screen cell, for mouse messages.
    CPoint ClientPointFromCell(HWND hwnd, CPoint cell) const;

private:
    WindowSystem();
    // A click on a framed window's frame: its arrows scroll the view.
    void ClickFrame(HWND hwnd, CPoint cell);
    void DispatchKey(const InputEvent& e);
    void DispatchPaste(const InputEvent& e);
    void DispatchMouse(const InputEvent& e);
    void DispatchWheel(const InputEvent& e);
    void EndSession(const InputEvent& e);
    bool ClickNonClient(HWND hwnd, CPoint cell);
    bool PreTranslate(MSG& msg);
    HWND HitChild(HWND hwnd, CPoint cell) const;

    Host* m_host = nullptr;
    PopupViewport m_viewport;
    WindowTree m_tree;
    ScreenPainter m_painter{m_tree, m_viewport};
    HWND m_capture = nullptr;
    bool m_inputEnded = false;
    bool m_sessionEnded = false;
    int m_sessionEndSignal = 0;
    InputEvent m_event;
    std::chrono::steady_clock::time_point m_lastPresent;
};

// GetKeyState: negative while the key is held.
short GetKeyState(int vk);
