#include "framework/win/WindowTree.h"

#include <algorithm>

#include "framework/base/Exception.h"

HWND WindowTree::Create(const CREATESTRUCT& cs, std::unique_ptr<WindowProcedure> proc, WindowObject* attach)
{
    auto window = std::make_unique<Window>();
    HWND hwnd = window.get();
    hwnd->className = cs.lpszClass;
    hwnd->style = cs.style;
    hwnd->exStyle = cs.dwExStyle;
    hwnd->id = cs.id;
    hwnd->rect = CRect(cs.x, cs.y, cs.x + std::max(cs.cx, 0), cs.y + std::max(cs.cy, 0));
    hwnd->proc = std::move(proc);
    HWND parent = (cs.style & WS_CHILD) ? cs.hwndParent : nullptr;
    if ((cs.style & WS_CHILD) && !IsLive(parent))
        return nullptr;
    hwnd->parent = parent;
    hwnd->owner = parent ? nullptr : (IsLive(cs.hwndParent) ? TopLevelOf(cs.hwndParent) : nullptr);
    if (parent)
        parent->children.push_back(std::move(window));
    else
        m_topLevels.push_back(std::move(window));
    m_live.insert(hwnd);
    if (attach) {
        attach->m_hWnd = hwnd;
        hwnd->wnd = attach;
    }

    // The window text goes through WM_SETTEXT so a control keeps it its way.
    CREATESTRUCT copy = cs;
    if (hwnd->proc) {
        hwnd->proc->Proc(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&copy));
        if (!cs.lpszName.IsEmpty() && IsLive(hwnd))
            hwnd->proc->Proc(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(cs.lpszName.GetString()));
    }
    if (Send(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&copy)) == -1) {
        Destroy(hwnd);
        return nullptr;
    }
    if (IsLive(hwnd))
        SendSize(hwnd);
    return IsLive(hwnd) ? hwnd : nullptr;
}

void WindowTree::Destroy(HWND hwnd)
{
    if (!IsLive(hwnd) || hwnd->destroying)
        return;
    hwnd->destroying = true;
    if (m_focus && (m_focus == hwnd || IsDescendantOf(m_focus, hwnd)))
        m_focus = nullptr;
    if (m_onDestroy)
        m_onDestroy(hwnd);
    Send(hwnd, WM_DESTROY);
    DestroyChildren(hwnd);

    // Top-level windows owned by this one go with it.
    for (;;) {
        auto it = std::find_if(m_topLevels.begin(), m_topLevels.end(),
                               [&](const auto& w) { return w->owner == hwnd && !w->destroying; });
        if (it == m_topLevels.end())
            break;
        Destroy(it->get());
    }

    Send(hwnd, WM_NCDESTROY);
    m_live.erase(hwnd);
    WindowObject* wnd = hwnd->wnd;
    if (wnd) {
        wnd->m_hWnd = nullptr;
        hwnd->wnd = nullptr;
    }
    // Release the window itself before PostNcDestroy, which may delete the
    // object that owned the last reference to anything we still touch.
    std::unique_ptr<Window> holder;
    auto& list = hwnd->parent ? hwnd->parent->children : m_topLevels;
    auto it = std::find_if(list.begin(), list.end(), [&](const auto& w) { return w.get() == hwnd; });
    if (it != list.end()) {
        holder = std::move(*it);
        list.erase(it);
    }
    if (wnd)
        wnd->PostNcDestroy();
}

void WindowTree::DestroyChildren(HWND hwnd)
{
    while (!hwnd->children.empty())
        Destroy(hwnd->children.back().get());
}

void WindowTree::Clear()
{
    while (!m_topLevels.empty())
        Destroy(m_topLevels.back().get());
    m_focus = nullptr;
    m_current = MSG{};
}

HWND WindowTree::ActiveTopLevel() const
{
    for (auto it = m_topLevels.rbegin(); it != m_topLevels.rend(); ++it) {
        HWND w = it->get();
        if ((w->style & WS_VISIBLE) && !(w->style & WS_DISABLED) && !w->destroying)
            return w;
    }
    return nullptr;
}

HWND WindowTree::SetFocus(HWND hwnd)
{
    HWND old = m_focus;
    if (hwnd && !IsLive(hwnd))
        return old;
    if (hwnd == old)
        return old;
    m_focus = hwnd;
    if (IsLive(old))
        Deliver(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (m_focus == hwnd && IsLive(hwnd))
        Deliver(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    // The top-level window learns where the focus went (a frame makes the
    // view that holds it its active view).
    if (m_focus == hwnd && IsLive(hwnd) && hwnd->parent)
        Deliver(TopLevelOf(hwnd), WM_FOCUSCHANGED, reinterpret_cast<WPARAM>(hwnd), 0);
    return old;
}

void WindowTree::Move(HWND hwnd, int x, int y, int cx, int cy)
{
    CRect old = hwnd->rect;
    hwnd->rect = CRect(x, y, x + std::max(cx, 0), y + std::max(cy, 0));
    if (old.Size() != hwnd->rect.Size())
        SendSize(hwnd);
}

void WindowTree::SendSize(HWND hwnd)
{
    CRect client = ClientRectOf(hwnd);
    Send(hwnd, WM_SIZE, 0, MAKELPARAM(WORD(client.Width()), WORD(client.Height())));
}

LRESULT WindowTree::Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return IsLive(hwnd) ? Deliver(hwnd, msg, wParam, lParam) : 0;
}

LRESULT WindowTree::Deliver(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    MSG saved = m_current;
    m_current = MSG{hwnd, msg, wParam, lParam};
    LRESULT r = 0;
    try {
        if (hwnd->wnd)
            r = hwnd->wnd->WindowProc(msg, wParam, lParam);
        else if (hwnd->proc)
            r = hwnd->proc->Proc(hwnd, msg, wParam, lParam);
    } catch (const CException& e) {
        // A framework failure that no handler caught ends the message, not
        // the program; the user is told what went wrong.
        m_current = saved;
        if (m_onException)
            m_onException(e);
        return 0;
    }
    m_current = saved;
    return r;
}
