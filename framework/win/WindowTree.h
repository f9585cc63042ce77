// The window tree: the top-level windows and their children, which window
// has the keyboard focus, and the delivery of messages. A window's children
// lie bottom to top; the top-level windows too, the last one on top.
//
// Delivery gives a message to the window's attached object, if it has one
// (which falls back on the class procedure), else to the class procedure;
// a framework exception that escapes a handler ends that message only and
// goes to the exception handler, which tells the user.
#pragma once

#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

#include "framework/win/Window.h"

class CException;

class WindowTree {
public:
    // Makes a window of the class whose procedure is given, with attach (if
    // any) attached, and sends it WM_NCCREATE, its text, WM_CREATE and
    // WM_SIZE. nullptr when a child's parent is gone, or when WM_CREATE
    // refuses (-1) or a handler destroys the window.
    HWND Create(const CREATESTRUCT& cs, std::unique_ptr<WindowProcedure> proc, WindowObject* attach);
    // Destroys a window with its children and the top-level windows it
    // owns: WM_DESTROY first, then the children, then WM_NCDESTROY, then the
    // attached object's PostNcDestroy.
    void Destroy(HWND hwnd);
    // Destroys every window; no window has the focus, no message is being
    // handled.
    void Clear();
    bool IsLive(HWND hwnd) const { return hwnd && m_live.count(hwnd) != 0; }
    const std::vector<std::unique_ptr<Window>>& TopLevels() const { return m_topLevels; }
    // The topmost visible, enabled top-level window: where keys go when no
    // window has the focus, and the only one that takes clicks.
    HWND ActiveTopLevel() const;

    HWND Focus() const { return m_focus; }
    // Moves the focus (WM_KILLFOCUS to the old window, WM_SETFOCUS to the
    // new one, WM_FOCUSCHANGED to its top-level window); returns the old
    // focus. A window that is not live does not take it.
    HWND SetFocus(HWND hwnd);
    // Places a window at x, y (pixels) with the size cx by cy; WM_SIZE
    // follows when the size changed.
    void Move(HWND hwnd, int x, int y, int cx, int cy);

    // Delivers a message to a live window; 0 for any other.
    LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // Delivers a message to a window the caller knows is live.
    LRESULT Deliver(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // The message being handled, for CWnd::Default.
    const MSG& CurrentMessage() const { return m_current; }
    // Who reports a framework exception that escaped a message handler.
    void SetExceptionHandler(std::function<void(const CException&)> handler) { m_onException = std::move(handler); }
    // Who hears of each window as it starts to go, before its WM_DESTROY.
    void SetDestroyListener(std::function<void(HWND)> listener) { m_onDestroy = std::move(listener); }

private:
    void DestroyChildren(HWND hwnd);
    // Tells a window its client area's size.
    void SendSize(HWND hwnd);

    std::vector<std::unique_ptr<Window>> m_topLevels;
    std::unordered_set<HWND> m_live;
    HWND m_focus = nullptr;
    MSG m_current;
    std::function<void(const CException&)> m_onException;
    std::function<void(HWND)> m_onDestroy;
};
