#include "framework/win/ModalSession.h"

#include "framework/win/WindowFunctions.h"
#include "framework/win/WindowSystem.h"

ModalSession::ModalSession(HWND owner) : m_owner(owner), m_previousFocus(GetFocus())
{
    // The focus is noted before the owner is disabled, which takes it away.
    if (IsWindow(owner) && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        m_disabledOwner = true;
    }
}

ModalSession::~ModalSession() { End(); }

bool ModalSession::Run(const std::function<bool()>& done)
{
    HWND window = m_window;
    return WindowSystem::Get().Router().RunModalLoop([&] { return !IsWindow(window) || done(); });
}

void ModalSession::End()
{
    if (m_ended)
        return;
    m_ended = true;
    if (m_disabledOwner && IsWindow(m_owner))
        EnableWindow(m_owner, TRUE);
    if (IsWindow(m_window))
        DestroyWindow(m_window);
    if (IsWindow(m_previousFocus))
        SetFocus(m_previousFocus);
}
