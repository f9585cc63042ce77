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
#include <unordered_set>
#include <vector>

#include "framework/screen/Host.h"
#include "framework/win/DC.h"
#include "framework/win/PopupViewport.h"
#include "framework/win/Window.h"

class CException;

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

    // --- windows (used by the window functions; WindowTree.cpp) ---
    HWND Create(const CREATESTRUCT& cs, WindowObject* attach);
    void Destroy(HWND hwnd);
    bool IsLive(HWND hwnd) const { return hwnd && m_live.count(hwnd) != 0; }
    HWND Focus() const { return m_focus; }
    HWND SetFocus(HWND hwnd);
    // The topmost visible, enabled top-level window: where keys go when no
    // window has the focus, and the only one that takes clicks.
    HWND ActiveTopLevel() const;
    const std::vector<std::unique_ptr<Window>>& TopLevels() const { return m_topLevels; }
    // The message being handled, for CWnd::Default.
    const MSG& CurrentMessage() const { return m_current; }
    LRESULT Deliver(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Who reports a framework exception that escaped a message handler.
    void SetExceptionHandler(std::function<void(const CException&)> handler) { m_onException = std::move(handler); }

    // --- painting (WindowTree.cpp; NonClientPainter draws captions, bars and frames) ---
    void Invalidate() { m_dirty = true; }
    // Brings the canvas up to date (idle updates of command state first).
    const Canvas& Paint();
    CDC BeginPaint(HWND hwnd);
    void Present();

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
    WindowSystem() = default;
    void PaintWindow(HWND hwnd, const CRect& clip);
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
    void DestroyTree(HWND hwnd);

    Host* m_host = nullptr;
    PopupViewport m_viewport;
    std::vector<std::unique_ptr<Window>> m_topLevels;
    std::unordered_set<HWND> m_live;
    HWND m_focus = nullptr;
    HWND m_capture = nullptr;
    HWND m_painting = nullptr;
    CDC m_paintDC{nullptr, {}, {}};
    MSG m_current;
    Canvas m_canvas;
    bool m_dirty = true;
    bool m_inputEnded = false;
    bool m_sessionEnded = false;
    int m_sessionEndSignal = 0;
    InputEvent m_event;
    std::function<void(const CException&)> m_onException;
    std::chrono::steady_clock::time_point m_lastPresent;
};

// GetKeyState: negative while the key is held.
short GetKeyState(int vk);
