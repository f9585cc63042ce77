#include "framework/win/WindowSystem.h"

WindowSystem& WindowSystem::Get()
{
    static WindowSystem instance;
    return instance;
}

WindowSystem::WindowSystem()
{
    // A window that holds the mouse gives it up as it goes.
    m_tree.SetDestroyListener([this](HWND hwnd) { m_router.WindowDestroyed(hwnd); });
}

void WindowSystem::SetHost(Host* host)
{
    m_host = host;
    m_viewport.SetHost(host);
    m_painter.SetHost(host);
    m_router.SetHost(host);
    m_painter.Invalidate();
}

void WindowSystem::Reset()
{
    m_tree.Clear();
    m_router.Reset();
}

HWND WindowSystem::SetFocus(HWND hwnd)
{
    HWND old = m_tree.SetFocus(hwnd);
    // A cut popup scrolls the window that took the focus into view.
    if (old != hwnd && m_tree.Focus() == hwnd)
        m_viewport.RevealFocus(hwnd);
    return old;
}
