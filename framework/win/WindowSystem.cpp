#include "framework/win/WindowSystem.h"

#include "framework/win/ControlClasses.h"

WindowSystem& WindowSystem::Get()
{
    static WindowSystem instance;
    return instance;
}

WindowSystem::WindowSystem()
{
    // A window that holds the mouse gives it up as it goes.
    m_tree.SetDestroyListener([this](HWND hwnd) {
        if (m_capture && (m_capture == hwnd || IsDescendantOf(m_capture, hwnd)))
            m_capture = nullptr;
    });
}

void WindowSystem::SetHost(Host* host)
{
    m_host = host;
    m_viewport.SetHost(host);
    m_painter.SetHost(host);
    m_inputEnded = false;
    m_sessionEnded = false;
    m_sessionEndSignal = 0;
    m_painter.Invalidate();
}

void WindowSystem::Reset()
{
    m_tree.Clear();
    m_capture = nullptr;
    m_inputEnded = false;
    m_sessionEnded = false;
    m_sessionEndSignal = 0;
}

HWND WindowSystem::Create(const CREATESTRUCT& cs, WindowObject* attach)
{
    return m_tree.Create(cs, CreateWindowClass(cs.lpszClass, cs.style), attach);
}

HWND WindowSystem::SetFocus(HWND hwnd)
{
    HWND old = m_tree.SetFocus(hwnd);
    // A cut popup scrolls the window that took the focus into view.
    if (old != hwnd && m_tree.Focus() == hwnd)
        m_viewport.RevealFocus(hwnd);
    return old;
}
