// The protocol every modal window follows, in one place: a dialog, a
// message box, a file dialog and a dropped list each run one session.
//
// Opening notes the window that holds the keyboard focus and disables the
// owner (when one is given and is enabled), so that input reaches only the
// modal window. Run() runs the modal loop until the window's own condition
// holds or the window is gone. Ending, explicitly or when the session goes
// out of scope, enables the owner again before the window is destroyed (so
// the focus can return to it), destroys the window, and gives the focus
// back to where it was.
#pragma once

#include <functional>

#include "framework/win/Window.h"

class ModalSession {
public:
    explicit ModalSession(HWND owner);
    ~ModalSession();
    ModalSession(const ModalSession&) = delete;
    ModalSession& operator=(const ModalSession&) = delete;

    // The modal window, once it exists; the session destroys it at the end.
    void SetWindow(HWND window) { m_window = window; }
    HWND Window() const { return m_window; }
    // Runs input until done() holds or the window is gone; false when input
    // ended first.
    bool Run(const std::function<bool()>& done);
    // Ends the session now; later calls do nothing.
    void End();

private:
    HWND m_owner = nullptr;
    HWND m_window = nullptr;
    HWND m_previousFocus = nullptr;
    bool m_disabledOwner = false;
    bool m_ended = false;
};
