// The input router: host events become window messages. A key goes to the
// focus, offered first to the windows around it (PreTranslateMessage); a
// click to the deepest window under it in the active top-level window,
// which keeps the mouse (the capture) until the button is released; the
// wheel to what lies under the mouse; a paste to the focus whole, or as the
// keys that would type it. The modal loop runs events until a condition
// holds, and presents the screen when input pauses.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <utility>

#include "framework/base/Geometry.h"
#include "framework/screen/Host.h"
#include "framework/screen/RedrawThrottle.h"
#include "framework/win/PopupViewport.h"
#include "framework/win/ScreenPainter.h"
#include "framework/win/Window.h"
#include "framework/win/WindowTree.h"

class InputRouter {
public:
    InputRouter(WindowTree& tree, PopupViewport& viewport, ScreenPainter& painter)
        : m_tree(tree), m_viewport(viewport), m_painter(painter)
    {}

    // The host input comes from; input (and the session) starts again.
    void SetHost(Host* host);
    // No window holds the mouse; input starts again.
    void Reset();
    // A window starts to go: the mouse it, or a window inside it, holds is
    // given up.
    void WindowDestroyed(HWND hwnd);

    // Turns one host event into window messages.
    void Dispatch(const InputEvent& event);
    // Runs events until done() holds. Returns false when input ended first.
    bool RunModalLoop(const std::function<bool()>& done);
    bool InputEnded() const { return m_inputEnded; }
    // Work the program does when input pauses, without input (writing a
    // recovery journal): the hook runs before each wait for input and on a
    // Timer event, and says when it next has work to do (the host wakes
    // then), or nothing. Null: none.
    using IdleHook = std::function<std::optional<std::chrono::steady_clock::time_point>()>;
    void SetIdleHook(IdleHook hook) { m_idleHook = std::move(hook); }
    // Whether the session ended (an EndSession event), and the signal that
    // ended it (0 when the terminal went away).
    bool SessionEnded() const { return m_sessionEnded; }
    int SessionEndSignal() const { return m_sessionEndSignal; }
    // The modifier keys of the event being dispatched (GetKeyState).
    bool IsKeyDown(UINT vk) const;
    // Finds the deepest visible window at a screen cell, and says whether
    // the cell lies in its client area.
    HWND WindowFromCell(CPoint cell, bool* inClient) const;

private:
    void DispatchKey(const InputEvent& e);
    void DispatchPaste(const InputEvent& e);
    void DispatchMouse(const InputEvent& e);
    void DispatchWheel(const InputEvent& e);
    void Resize();
    void EndSession(const InputEvent& e);
    // Offers a message to the windows from its target up to the top-level
    // window; true when one took it.
    bool PreTranslate(MSG& msg);
    HWND HitChild(HWND hwnd, CPoint cell) const;
    // Client pixels of the centre of a screen cell, for mouse messages.
    CPoint ClientPointFromCell(HWND hwnd, CPoint cell) const;
    // A click on the caption or a scroll bar; false for any other cell.
    bool ClickNonClient(HWND hwnd, CPoint cell);
    // A click on a framed window's frame: its arrows scroll the view.
    void ClickFrame(HWND hwnd, CPoint cell);

    WindowTree& m_tree;
    PopupViewport& m_viewport;
    ScreenPainter& m_painter;
    Host* m_host = nullptr;
    HWND m_capture = nullptr;
    // The event being dispatched.
    InputEvent m_event;
    bool m_inputEnded = false;
    bool m_sessionEnded = false;
    int m_sessionEndSignal = 0;
    RedrawThrottle m_throttle;  // when the screen is drawn while input waits
    IdleHook m_idleHook;
};
