#include "framework/win/InputRouter.h"

#include <algorithm>
#include <chrono>
#include <csignal>

void InputRouter::SetHost(Host* host)
{
    m_host = host;
    m_inputEnded = false;
    m_sessionEnded = false;
    m_sessionEndSignal = 0;
}

void InputRouter::Reset()
{
    m_capture = nullptr;
    m_inputEnded = false;
    m_sessionEnded = false;
    m_sessionEndSignal = 0;
}

void InputRouter::WindowDestroyed(HWND hwnd)
{
    if (m_capture && (m_capture == hwnd || IsDescendantOf(m_capture, hwnd)))
        m_capture = nullptr;
}

bool InputRouter::IsKeyDown(UINT vk) const
{
    switch (vk) {
    case VK_SHIFT: return m_event.shift;
    case VK_CONTROL: return m_event.ctrl;
    case VK_MENU: return m_event.alt;
    default: return m_event.kind == InputEvent::Kind::Key && m_event.vk == vk;
    }
}

bool InputRouter::RunModalLoop(const std::function<bool()>& done)
{
    while (!done()) {
        if (m_inputEnded || !m_host)
            return false;
        // While input is waiting, painting would be outdated at once; paint
        // when it pauses, and a few times a second during a long paste.
        const RedrawThrottle::Clock::time_point now = RedrawThrottle::Clock::now();
        if (m_throttle.Due(now, m_host->InputPending())) {
            m_painter.Present();
            m_throttle.Drawn(now);
        }
        if (m_idleHook)
            m_host->SetWakeTime(m_idleHook());
        InputEvent e;
        if (!m_host->WaitEvent(e)) {
            m_inputEnded = true;
            return false;
        }
        Dispatch(e);
    }
    return true;
}

void InputRouter::Dispatch(const InputEvent& e)
{
    InputEvent saved = m_event;
    m_event = e;
    switch (e.kind) {
    case InputEvent::Kind::Key: DispatchKey(e); break;
    case InputEvent::Kind::MouseDown:
    case InputEvent::Kind::MouseUp:
    case InputEvent::Kind::MouseMove: DispatchMouse(e); break;
    case InputEvent::Kind::Wheel: DispatchWheel(e); break;
    case InputEvent::Kind::Resize: Resize(); break;
    case InputEvent::Kind::Quit: m_inputEnded = true; break;
    case InputEvent::Kind::EndSession: EndSession(e); break;
    case InputEvent::Kind::Paste: DispatchPaste(e); break;
    case InputEvent::Kind::Timer:
        if (m_idleHook)
            m_idleHook();
        break;
    }
    m_event = saved;
}

void InputRouter::Resize()
{
    // Top-level windows that fill the screen follow its size.
    CSize px = m_viewport.ScreenPixels();
    const auto& topLevels = m_tree.TopLevels();
    for (size_t i = 0; i < topLevels.size(); ++i) {
        HWND w = topLevels[i].get();
        if (!(w->style & WS_POPUP))
            m_tree.Move(w, 0, 0, px.cx, px.cy);
    }
    // Popups show as much as the new size lets them; the focused control
    // stays in view.
    m_viewport.RevealFocus(m_tree.Focus());
    m_painter.Invalidate();
}

void InputRouter::EndSession(const InputEvent& e)
{
    // As the platform ends a session no one can be asked about: every
    // top-level window hears WM_ENDSESSION, and then input is over, so that
    // every modal loop ends and the program with them.
    if (m_sessionEnded)
        return;
    m_sessionEnded = true;
    m_sessionEndSignal = e.x;
    const LPARAM how = ENDSESSION_CRITICAL | (e.x == SIGTERM ? ENDSESSION_CLOSEAPP : ENDSESSION_LOGOFF);
    std::vector<HWND> windows;
    for (const auto& w : m_tree.TopLevels())
        windows.push_back(w.get());
    for (HWND w : windows)
        if (m_tree.IsLive(w))
            m_tree.Send(w, WM_ENDSESSION, TRUE, how);
    m_inputEnded = true;
}

bool InputRouter::PreTranslate(MSG& msg)
{
    // From the target up to its top-level window, as the platform's
    // message loop offers each message to the frames and dialogs around it.
    for (HWND w = msg.hwnd; w; w = w->parent) {
        if (!m_tree.IsLive(w))
            return true;
        if (w->wnd && w->wnd->PreTranslateMessage(&msg))
            return true;
    }
    return false;
}

void InputRouter::DispatchKey(const InputEvent& e)
{
    // A key goes to the focused control: if the wheel scrolled it out of
    // view, it comes back first.
    m_viewport.RevealFocus(m_tree.Focus());
    HWND target = m_tree.Focus();
    HWND active = m_tree.ActiveTopLevel();
    // Keys go to the focus only while it lies in the active window.
    if (!target || !active || TopLevelOf(target) != active)
        target = active;
    if (!target)
        return;
    LPARAM flags = 1 | (e.alt ? (1 << 29) : 0);
    MSG down{target, e.alt ? WM_SYSKEYDOWN : WM_KEYDOWN, e.vk, flags};
    bool translated = PreTranslate(down);
    if (!translated && m_tree.IsLive(target))
        m_tree.Send(target, down.message, down.wParam, down.lParam);
    if (!translated && e.ch && !e.alt && m_tree.IsLive(target)) {
        // The character goes to whatever has the focus now.
        HWND focus = m_tree.Focus();
        HWND charTarget = (focus && TopLevelOf(focus) == m_tree.ActiveTopLevel()) ? focus : target;
        MSG ch{charTarget, WM_CHAR, e.ch, 1};
        if (!PreTranslate(ch) && m_tree.IsLive(charTarget))
            m_tree.Send(charTarget, WM_CHAR, e.ch, 1);
    }
    // Terminals report no releases; the release follows at once.
    HWND upTarget = m_tree.Focus() ? m_tree.Focus() : target;
    if (m_tree.IsLive(upTarget)) {
        MSG up{upTarget, WM_KEYUP, e.vk, LPARAM(1) | (LPARAM(3) << 30)};
        if (!PreTranslate(up) && m_tree.IsLive(upTarget))
            m_tree.Send(upTarget, WM_KEYUP, e.vk, up.lParam);
    }
}

void InputRouter::DispatchPaste(const InputEvent& e)
{
    // A control that takes pasted text whole gets it in one message;
    // anything else (a field, a dialog, a menu) gets the keys typing it
    // would give, so that Enter and Tab there do what they always do.
    m_viewport.RevealFocus(m_tree.Focus());
    HWND target = m_tree.Focus();
    if (target && m_tree.IsLive(target) && TopLevelOf(target) == m_tree.ActiveTopLevel()
        && m_tree.Send(target, WM_PASTETEXT, e.first ? TRUE : FALSE, reinterpret_cast<LPARAM>(&e.text)))
        return;
    for (size_t i = 0; i < e.text.size() && !m_inputEnded; ++i) {
        InputEvent key = InputEvent::Typing(e.text[i]);
        m_event = key;
        DispatchKey(key);
    }
}

HWND InputRouter::HitChild(HWND hwnd, CPoint cell) const
{
    // Children show, and take clicks, only inside their parent's child area.
    if (!m_viewport.ChildArea(hwnd).PtInRect(cell))
        return hwnd;
    for (auto it = hwnd->children.rbegin(); it != hwnd->children.rend(); ++it) {
        HWND child = it->get();
        if (!(child->style & WS_VISIBLE))
            continue;
        if (m_viewport.WindowCells(child).PtInRect(cell))
            return HitChild(child, cell);
    }
    return hwnd;
}

HWND InputRouter::WindowFromCell(CPoint cell, bool* inClient) const
{
    for (auto it = m_tree.TopLevels().rbegin(); it != m_tree.TopLevels().rend(); ++it) {
        HWND w = it->get();
        if (!(w->style & WS_VISIBLE) || !m_viewport.WindowCells(w).PtInRect(cell))
            continue;
        HWND hit = m_viewport.ClientCells(w).PtInRect(cell) ? HitChild(w, cell) : w;
        if (inClient)
            *inClient = m_viewport.ClientCells(hit).PtInRect(cell);
        return hit;
    }
    return nullptr;
}

CPoint InputRouter::ClientPointFromCell(HWND hwnd, CPoint cell) const
{
    CPoint origin = m_viewport.ClientOriginCell(hwnd);
    CSize px = Host::CellPixels();
    return {(cell.x - origin.x) * px.cx + px.cx / 2, (cell.y - origin.y) * px.cy + px.cy / 2};
}

bool InputRouter::ClickNonClient(HWND hwnd, CPoint cell)
{
    CRect cells = m_viewport.WindowCells(hwnd);
    int x = cell.x - cells.left;
    int y = cell.y - cells.top;
    int w = cells.Width();
    int h = cells.Height();
    int top = 0;
    if ((hwnd->style & WS_CAPTION) == WS_CAPTION) {
        if (y == 0) {
            int right = w;
            if (hwnd->style & WS_SYSMENU) {
                right -= 3;
                if (x >= right) {
                    m_tree.Send(hwnd, WM_CLOSE);
                    return true;
                }
            }
            if ((hwnd->exStyle & WS_EX_CAPTIONOKBTN) && x >= right - 4 && x < right) {
                m_tree.Send(hwnd, WM_COMMAND, IDOK, 0);
                return true;
            }
            return true;
        }
        top = 1;
    }
    bool v = hwnd->style & WS_VSCROLL;
    bool hz = hwnd->style & WS_HSCROLL;
    if (v && x == w - 1 && y >= top && y < h - (hz ? 1 : 0)) {
        int len = h - top - (hz ? 1 : 0);
        int pos = y - top;
        UINT code = pos == 0 ? SB_LINEUP : pos == len - 1 ? SB_LINEDOWN : pos < len / 2 ? SB_PAGEUP : SB_PAGEDOWN;
        m_tree.Send(hwnd, WM_VSCROLL, MAKEWPARAM(WORD(code), 0), 0);
        return true;
    }
    if (hz && y == h - 1) {
        int len = w - (v ? 1 : 0);
        if (x >= len)
            return true;
        UINT code = x == 0 ? SB_LINELEFT : x == len - 1 ? SB_LINERIGHT : x < len / 2 ? SB_PAGELEFT : SB_PAGERIGHT;
        m_tree.Send(hwnd, WM_HSCROLL, MAKEWPARAM(WORD(code), 0), 0);
        return true;
    }
    return false;
}

void InputRouter::ClickFrame(HWND hwnd, CPoint cell)
{
    CRect client = m_viewport.ClientCells(hwnd);
    CRect inside = m_viewport.ChildArea(hwnd);
    int x = cell.x - client.left;
    int y = cell.y - client.top;
    int w = client.Width();
    int h = client.Height();
    // An arrow scrolls by half of what shows inside the frame.
    int across = std::max(1, inside.Width() / 2);
    int down = std::max(1, inside.Height() / 2);
    if (x == w - 1 && y == 0)
        m_viewport.ScrollView(hwnd, 0, -down);
    else if (x == w - 1 && y == h - 2)
        m_viewport.ScrollView(hwnd, 0, down);
    else if (y == h - 1 && x == 1)
        m_viewport.ScrollView(hwnd, -across, 0);
    else if (y == h - 1 && x == w - 2)
        m_viewport.ScrollView(hwnd, across, 0);
}

void InputRouter::DispatchWheel(const InputEvent& e)
{
    // The wheel turns what lies under the mouse, in the active window only;
    // a window that does not scroll passes it to its parent (the default
    // window procedure does).
    HWND hit = WindowFromCell(CPoint(e.x, e.y), nullptr);
    if (!hit || TopLevelOf(hit) != m_tree.ActiveTopLevel() || e.notches == 0)
        return;
    for (HWND w = hit; w; w = w->parent)
        if (w->style & WS_DISABLED)
            return;
    const int delta = std::clamp(e.notches, -0x7FFF / WHEEL_DELTA, 0x7FFF / WHEEL_DELTA) * WHEEL_DELTA;
    // The point is in screen pixels, as every window position is: the
    // centre of the cell under the mouse.
    const CSize px = Host::CellPixels();
    const LPARAM point = MAKELPARAM(WORD(e.x * px.cx + px.cx / 2), WORD(e.y * px.cy + px.cy / 2));
    m_tree.Send(hit, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(delta))), point);
}

void InputRouter::DispatchMouse(const InputEvent& e)
{
    CPoint cell(e.x, e.y);
    if (e.kind != InputEvent::Kind::MouseDown) {
        HWND target = m_capture;
        if (!m_tree.IsLive(target))
            return;
        CPoint p = ClientPointFromCell(target, cell);
        UINT msg = e.kind == InputEvent::Kind::MouseUp ? WM_LBUTTONUP : WM_MOUSEMOVE;
        if (msg == WM_LBUTTONUP)
            m_capture = nullptr;
        m_tree.Send(target, msg, msg == WM_MOUSEMOVE ? VK_LBUTTON : 0, MAKELPARAM(WORD(p.x), WORD(p.y)));
        return;
    }
    bool inClient = false;
    HWND hit = WindowFromCell(cell, &inClient);
    // Only the active window (the modal one, when one is up) takes clicks;
    // a click elsewhere tells it, so a drop-down list or menu can close.
    HWND active = m_tree.ActiveTopLevel();
    if (!hit || TopLevelOf(hit) != active) {
        if (active)
            m_tree.Send(active, WM_CANCELMODE);
        return;
    }
    for (HWND w = hit; w; w = w->parent)
        if (w->style & WS_DISABLED)
            return;
    if (!inClient) {
        ClickNonClient(hit, cell);
        return;
    }
    if (IsFramed(hit) && !m_viewport.ChildArea(hit).PtInRect(cell)) {
        ClickFrame(hit, cell);
        return;
    }
    m_capture = hit;
    CPoint p = ClientPointFromCell(hit, cell);
    m_tree.Send(hit, WM_LBUTTONDOWN, 0, MAKELPARAM(WORD(p.x), WORD(p.y)));
}
