#include "framework/win/WindowSystem.h"

#include <algorithm>
#include <chrono>
#include <csignal>

#include "framework/base/Exception.h"
#include "framework/win/ControlClasses.h"
#include "framework/win/Wnd.h"

namespace {
bool IsFramed(HWND hwnd) { return hwnd->proc && hwnd->proc->Framed(hwnd); }
} // namespace

WindowSystem& WindowSystem::Get()
{
    static WindowSystem instance;
    return instance;
}

void WindowSystem::SetHost(Host* host)
{
    m_host = host;
    m_inputEnded = false;
    m_sessionEnded = false;
    m_sessionEndSignal = 0;
    m_dirty = true;
}

void WindowSystem::Reset()
{
    while (!m_topLevels.empty())
        Destroy(m_topLevels.back().get());
    m_focus = nullptr;
    m_capture = nullptr;
    m_inputEnded = false;
    m_sessionEnded = false;
    m_sessionEndSignal = 0;
    m_current = MSG{};
}

CSize WindowSystem::ScreenPixels() const
{
    CSize cells = m_host ? m_host->ScreenCells() : CSize(80, 24);
    CSize cell = Host::CellPixels();
    return {cells.cx * cell.cx, cells.cy * cell.cy};
}

HWND WindowSystem::Create(const CREATESTRUCT& cs, CWnd* attach)
{
    auto window = std::make_unique<Window>();
    HWND hwnd = window.get();
    hwnd->className = cs.lpszClass;
    hwnd->style = cs.style;
    hwnd->exStyle = cs.dwExStyle;
    hwnd->id = cs.id;
    hwnd->rect = CRect(cs.x, cs.y, cs.x + std::max(cs.cx, 0), cs.y + std::max(cs.cy, 0));
    hwnd->proc = CreateWindowClass(cs.lpszClass, cs.style);
    HWND parent = (cs.style & WS_CHILD) ? cs.hwndParent : nullptr;
    if ((cs.style & WS_CHILD) && !IsLive(parent))
        return nullptr;
    hwnd->parent = parent;
    hwnd->owner = parent ? nullptr : (IsLive(cs.hwndParent) ? GetTopLevel(cs.hwndParent) : nullptr);
    if (parent)
        parent->children.push_back(std::move(window));
    else
        m_topLevels.push_back(std::move(window));
    m_live.insert(hwnd);
    if (attach) {
        attach->m_hWnd = hwnd;
        hwnd->wnd = attach;
    }
    m_dirty = true;

    // The window text goes through WM_SETTEXT so a control keeps it its way.
    CREATESTRUCT copy = cs;
    CallDefaultProc(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&copy));
    if (!cs.lpszName.IsEmpty())
        CallDefaultProc(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(cs.lpszName.GetString()));
    if (SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&copy)) == -1) {
        Destroy(hwnd);
        return nullptr;
    }
    if (IsLive(hwnd)) {
        CRect client = GetClientRect(hwnd);
        SendMessage(hwnd, WM_SIZE, 0, MAKELPARAM(WORD(client.Width()), WORD(client.Height())));
    }
    return IsLive(hwnd) ? hwnd : nullptr;
}

void WindowSystem::Destroy(HWND hwnd)
{
    if (!IsLive(hwnd) || hwnd->destroying)
        return;
    hwnd->destroying = true;
    if (m_focus && (m_focus == hwnd || IsChild(hwnd, m_focus)))
        m_focus = nullptr;
    if (m_capture && (m_capture == hwnd || IsChild(hwnd, m_capture)))
        m_capture = nullptr;
    SendMessage(hwnd, WM_DESTROY);
    DestroyTree(hwnd);

    // Top-level windows owned by this one go with it.
    for (;;) {
        auto it = std::find_if(m_topLevels.begin(), m_topLevels.end(),
                               [&](const auto& w) { return w->owner == hwnd && !w->destroying; });
        if (it == m_topLevels.end())
            break;
        Destroy(it->get());
    }

    SendMessage(hwnd, WM_NCDESTROY);
    m_live.erase(hwnd);
    CWnd* wnd = hwnd->wnd;
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
    m_dirty = true;
    if (wnd)
        wnd->PostNcDestroy();
}

void WindowSystem::DestroyTree(HWND hwnd)
{
    while (!hwnd->children.empty())
        Destroy(hwnd->children.back().get());
}

HWND WindowSystem::SetFocus(HWND hwnd)
{
    HWND old = m_focus;
    if (hwnd && !IsLive(hwnd))
        return old;
    if (hwnd == old)
        return old;
    m_focus = hwnd;
    if (IsLive(old))
        SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd));
    if (m_focus == hwnd && IsLive(hwnd))
        SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old));
    // The top-level window learns where the focus went (a frame makes the
    // view that holds it its active view).
    if (m_focus == hwnd && IsLive(hwnd) && hwnd->parent)
        SendMessage(GetTopLevel(hwnd), WM_FOCUSCHANGED, reinterpret_cast<WPARAM>(hwnd));
    if (m_focus == hwnd)
        RevealFocus();
    m_dirty = true;
    return old;
}

// --- popups larger than the screen ---

CRect WindowSystem::ShownRect(HWND hwnd) const
{
    CRect r = hwnd->rect;
    if (hwnd->parent || !(hwnd->style & WS_POPUP))
        return r;
    CSize screen = ScreenPixels();
    if (r.left >= 0 && r.top >= 0 && r.right <= screen.cx && r.bottom <= screen.cy)
        return r;
    CSize cell = Host::CellPixels();
    int cols = screen.cx / cell.cx;
    int rows = screen.cy / cell.cy;
    CRect cells = CellRectFromPixels(r);
    int w = std::min(cells.Width(), cols);
    int h = std::min(cells.Height(), rows);
    int x = std::clamp(cells.left, 0, cols - w);
    int y = std::clamp(cells.top, 0, rows - h);
    return CRect(x * cell.cx, y * cell.cy, (x + w) * cell.cx, (y + h) * cell.cy);
}

CSize WindowSystem::HiddenCells(HWND hwnd) const
{
    if (hwnd->parent)
        return {};
    CRect natural = CellRectFromPixels(hwnd->rect);
    CRect shown = CellRectFromPixels(ShownRect(hwnd));
    return {std::max(0, natural.Width() - shown.Width()), std::max(0, natural.Height() - shown.Height())};
}

CPoint WindowSystem::ViewOffset(HWND hwnd) const
{
    CSize hidden = HiddenCells(hwnd);
    return {std::clamp(hwnd->viewOffset.x, 0, hidden.cx), std::clamp(hwnd->viewOffset.y, 0, hidden.cy)};
}

bool WindowSystem::ScrollView(HWND hwnd, int dx, int dy)
{
    if (!IsLive(hwnd) || hwnd->parent)
        return false;
    CSize hidden = HiddenCells(hwnd);
    CPoint old = ViewOffset(hwnd);
    CPoint now(std::clamp(old.x + dx, 0, hidden.cx), std::clamp(old.y + dy, 0, hidden.cy));
    hwnd->viewOffset = now;
    if (now == old)
        return false;
    m_dirty = true;
    return true;
}

void WindowSystem::RevealFocus()
{
    if (!IsLive(m_focus))
        return;
    HWND top = GetTopLevel(m_focus);
    CSize hidden = HiddenCells(top);
    if (hidden == CSize())
        return;
    // The top-level window's control that holds the focus (a combo box for
    // its field), in cells of the client area; and the part of the client
    // area that shows inside the frame, in the same cells unscrolled.
    HWND ctl = m_focus;
    while (ctl->parent && ctl->parent != top)
        ctl = ctl->parent;
    if (ctl == top)
        return;
    CRect c = CellRectFromPixels(ctl->rect);
    CRect client = GetClientCells(top);
    CRect inside = ChildArea(top);
    inside.OffsetRect(-client.left, -client.top);
    // Along each axis a control that fits shows whole, with a cell of the
    // dialog beside it where there is room, so that it does not touch the
    // frame; a larger one shows from its near edge (a field with its label
    // before it stays as it is while its start shows).
    auto reveal = [](int offset, int start, int end, int lo, int hi, int most) {
        int room = (hi - lo) - (end - start);
        int margin = room >= 2 || room < 0 ? 1 : 0;
        if (room >= 0 && end - offset > hi)
            offset = end - hi + margin;
        if (start - offset < lo)
            offset = start - lo - margin;
        return std::clamp(offset, 0, most);
    };
    CPoint old = ViewOffset(top);
    CPoint now(reveal(old.x, c.left, c.right, inside.left, inside.right, hidden.cx),
               reveal(old.y, c.top, c.bottom, inside.top, inside.bottom, hidden.cy));
    if (now != old) {
        top->viewOffset = now;
        m_dirty = true;
    }
}

CRect WindowSystem::ChildArea(HWND hwnd) const
{
    CRect r = GetClientCells(hwnd);
    if (IsFramed(hwnd) && r.Width() >= 2 && r.Height() >= 1) {
        r.left += 1;
        r.right -= 1;
        r.bottom -= 1;
    }
    return r;
}

CPoint WindowSystem::ClientOriginCell(HWND hwnd) const
{
    CPoint o = ClientToScreen(hwnd, CPoint(0, 0));
    return CellRectFromPixels(CRect(o.x, o.y, o.x, o.y)).TopLeft();
}

void WindowSystem::ClickFrame(HWND hwnd, CPoint cell)
{
    CRect client = GetClientCells(hwnd);
    CRect inside = ChildArea(hwnd);
    int x = cell.x - client.left;
    int y = cell.y - client.top;
    int w = client.Width();
    int h = client.Height();
    // An arrow scrolls by half of what shows inside the frame.
    int across = std::max(1, inside.Width() / 2);
    int down = std::max(1, inside.Height() / 2);
    if (x == w - 1 && y == 0)
        ScrollView(hwnd, 0, -down);
    else if (x == w - 1 && y == h - 2)
        ScrollView(hwnd, 0, down);
    else if (y == h - 1 && x == 1)
        ScrollView(hwnd, -across, 0);
    else if (y == h - 1 && x == w - 2)
        ScrollView(hwnd, across, 0);
}

HWND WindowSystem::ActiveTopLevel() const
{
    for (auto it = m_topLevels.rbegin(); it != m_topLevels.rend(); ++it) {
        HWND w = it->get();
        if ((w->style & WS_VISIBLE) && !(w->style & WS_DISABLED) && !w->destroying)
            return w;
    }
    return nullptr;
}

LRESULT WindowSystem::Deliver(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    MSG saved = m_current;
    m_current = MSG{hwnd, msg, wParam, lParam};
    LRESULT r = 0;
    try {
        if (hwnd->wnd)
            r = hwnd->wnd->WindowProc(msg, wParam, lParam);
        else
            r = CallDefaultProc(hwnd, msg, wParam, lParam);
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

// --- painting ---

const Canvas& WindowSystem::Paint()
{
    // Command state (toolbar buttons) is brought up to date when idle.
    for (size_t i = 0; i < m_topLevels.size(); ++i)
        SendMessage(m_topLevels[i].get(), WM_IDLEUPDATECMDUI, TRUE);
    CSize cells = m_host ? m_host->ScreenCells() : CSize(80, 24);
    if (m_canvas.Cols() != cells.cx || m_canvas.Rows() != cells.cy)
        m_canvas.Resize(cells.cx, cells.cy);
    m_canvas.Clear();
    CRect screen(0, 0, cells.cx, cells.cy);
    for (size_t i = 0; i < m_topLevels.size(); ++i) {
        HWND w = m_topLevels[i].get();
        if (w->style & WS_VISIBLE)
            PaintWindow(w, screen);
    }
    m_dirty = false;
    return m_canvas;
}

CDC WindowSystem::BeginPaint(HWND hwnd)
{
    if (hwnd == m_painting)
        return m_paintDC;
    // Painting outside a paint cycle draws nowhere.
    return CDC(&m_canvas, {}, CRect());
}

void WindowSystem::PaintWindow(HWND hwnd, const CRect& clip)
{
    CRect cells = GetWindowCells(hwnd);
    CRect visible;
    if (!visible.IntersectRect(cells, clip))
        return;
    CDC whole(&m_canvas, cells.TopLeft(), visible);
    PaintNonClient(hwnd, whole, cells);

    CRect client = GetClientCells(hwnd);
    CRect clientVisible;
    if (clientVisible.IntersectRect(client, visible)) {
        HWND savedWnd = m_painting;
        CDC savedDC = m_paintDC;
        m_painting = hwnd;
        // A control cut by its dialog's frame or the screen still lays out
        // over its whole client area; a cut popup's client area is the
        // whole of it, shown or not.
        CSize hidden = HiddenCells(hwnd);
        CSize size(client.Width() + hidden.cx, client.Height() + hidden.cy);
        m_paintDC = CDC(&m_canvas, ClientOriginCell(hwnd), clientVisible, size);
        SendMessage(hwnd, WM_PAINT);
        m_painting = savedWnd;
        m_paintDC = savedDC;
        // Children stay inside the frame, which is drawn over the edges last.
        CRect childClip;
        if (childClip.IntersectRect(ChildArea(hwnd), clientVisible)) {
            for (size_t i = 0; i < hwnd->children.size(); ++i) {
                HWND child = hwnd->children[i].get();
                if (child->style & WS_VISIBLE)
                    PaintWindow(child, childClip);
            }
        }
        if (IsFramed(hwnd))
            PaintFrame(hwnd, clientVisible);
    }
    if (!hwnd->parent && (hwnd->style & WS_DISABLED))
        whole.AddAttr(CRect(0, 0, cells.Width(), cells.Height()), ATTR_INACTIVE);
}

void WindowSystem::PaintNonClient(HWND hwnd, CDC& dc, const CRect& cells)
{
    int w = cells.Width();
    int h = cells.Height();
    int top = 0;
    if ((hwnd->style & WS_CAPTION) == WS_CAPTION) {
        std::uint16_t attr = ATTR_CAPTION | ATTR_BAR;
        dc.FillRect(CRect(0, 0, w, 1), attr);
        dc.TextOut(1, 0, hwnd->text.View(), attr);
        int right = w;
        if (hwnd->style & WS_SYSMENU) {
            right -= 3;
            dc.TextOut(right, 0, u"[x]", attr);
        }
        if (hwnd->exStyle & WS_EX_CAPTIONOKBTN) {
            right -= 4;
            dc.TextOut(right, 0, u"[OK]", attr);
        }
        top = 1;
    }
    bool v = hwnd->style & WS_VSCROLL;
    bool hz = hwnd->style & WS_HSCROLL;
    auto thumb = [](const SCROLLINFO& si, int track) {
        int range = si.nMax - si.nMin + 1;
        if (track <= 0 || range <= int(si.nPage) || range <= 0)
            return -1;
        int span = range - int(si.nPage);
        return int((long long)(si.nPos - si.nMin) * (track - 1) / std::max(span, 1));
    };
    if (v) {
        int x = w - 1;
        int len = h - top - (hz ? 1 : 0);
        dc.FillRect(CRect(x, top, x + 1, top + len), ATTR_BAR, u'\u2591');
        if (len >= 2) {
            dc.SetCell(x, top, Cell{u'\u25B2', ATTR_BAR});
            dc.SetCell(x, top + len - 1, Cell{u'\u25BC', ATTR_BAR});
            int t = thumb(hwnd->scroll[SB_VERT], len - 2);
            if (t >= 0)
                dc.SetCell(x, top + 1 + t, Cell{u'\u2588', ATTR_BAR});
        }
    }
    if (hz) {
        int y = h - 1;
        int len = w - (v ? 1 : 0);
        dc.FillRect(CRect(0, y, len, y + 1), ATTR_BAR, u'\u2591');
        if (len >= 2) {
            dc.SetCell(0, y, Cell{u'\u25C4', ATTR_BAR});
            dc.SetCell(len - 1, y, Cell{u'\u25BA', ATTR_BAR});
            int t = thumb(hwnd->scroll[SB_HORZ], len - 2);
            if (t >= 0)
                dc.SetCell(1 + t, y, Cell{u'\u2588', ATTR_BAR});
        }
        if (v)
            dc.SetCell(w - 1, y, Cell{u' ', ATTR_BAR});
    }
}

void WindowSystem::PaintFrame(HWND hwnd, const CRect& clip)
{
    CRect client = GetClientCells(hwnd);
    CDC dc(&m_canvas, client.TopLeft(), clip);
    int w = client.Width();
    int h = client.Height();
    if (w < 2 || h < 1)
        return;
    for (int y = 0; y < h - 1; ++y) {
        dc.SetCell(0, y, Cell{u'\u2502', ATTR_NORMAL});
        dc.SetCell(w - 1, y, Cell{u'\u2502', ATTR_NORMAL});
    }
    dc.FillRect(CRect(1, h - 1, w - 1, h), ATTR_NORMAL, u'\u2500');
    dc.SetCell(0, h - 1, Cell{u'\u2514', ATTR_NORMAL});
    dc.SetCell(w - 1, h - 1, Cell{u'\u2518', ATTR_NORMAL});
    // Arrows on the frame say where the client area goes on out of view.
    CSize hidden = HiddenCells(hwnd);
    CPoint offset = ViewOffset(hwnd);
    if (h >= 3) {
        if (offset.y > 0)
            dc.SetCell(w - 1, 0, Cell{u'\u25B2', ATTR_BAR});
        if (offset.y < hidden.cy)
            dc.SetCell(w - 1, h - 2, Cell{u'\u25BC', ATTR_BAR});
    }
    if (w >= 4) {
        if (offset.x > 0)
            dc.SetCell(1, h - 1, Cell{u'\u25C4', ATTR_BAR});
        if (offset.x < hidden.cx)
            dc.SetCell(w - 2, h - 1, Cell{u'\u25BA', ATTR_BAR});
    }
}

void WindowSystem::Present()
{
    if (!m_host)
        return;
    m_host->Present(Paint());
}

// --- input ---

bool WindowSystem::IsKeyDown(UINT vk) const
{
    switch (vk) {
    case VK_SHIFT: return m_event.shift;
    case VK_CONTROL: return m_event.ctrl;
    case VK_MENU: return m_event.alt;
    default: return m_event.kind == InputEvent::Kind::Key && m_event.vk == vk;
    }
}

short GetKeyState(int vk) { return WindowSystem::Get().IsKeyDown(UINT(vk)) ? short(-128) : short(0); }

bool WindowSystem::RunModalLoop(const std::function<bool()>& done)
{
    while (!done()) {
        if (m_inputEnded || !m_host)
            return false;
        // While input is waiting, painting would be outdated at once; paint
        // when it pauses, and a few times a second during a long paste.
        auto now = std::chrono::steady_clock::now();
        if (!m_host->InputPending() || now - m_lastPresent >= std::chrono::milliseconds(100)) {
            Present();
            m_lastPresent = now;
        }
        InputEvent e;
        if (!m_host->WaitEvent(e)) {
            m_inputEnded = true;
            return false;
        }
        Dispatch(e);
    }
    return true;
}

void WindowSystem::Dispatch(const InputEvent& e)
{
    InputEvent saved = m_event;
    m_event = e;
    switch (e.kind) {
    case InputEvent::Kind::Key:
        DispatchKey(e);
        break;
    case InputEvent::Kind::MouseDown:
    case InputEvent::Kind::MouseUp:
    case InputEvent::Kind::MouseMove:
        DispatchMouse(e);
        break;
    case InputEvent::Kind::Wheel:
        DispatchWheel(e);
        break;
    case InputEvent::Kind::Resize: {
        // Top-level windows that fill the screen follow its size.
        CSize px = ScreenPixels();
        for (size_t i = 0; i < m_topLevels.size(); ++i) {
            HWND w = m_topLevels[i].get();
            if (!(w->style & WS_POPUP))
                MoveWindow(w, 0, 0, px.cx, px.cy, TRUE);
        }
        // Popups show as much as the new size lets them; the focused control
        // stays in view.
        RevealFocus();
        m_dirty = true;
        break;
    }
    case InputEvent::Kind::Quit:
        m_inputEnded = true;
        break;
    case InputEvent::Kind::EndSession:
        EndSession(e);
        break;
    }
    m_event = saved;
}

void WindowSystem::EndSession(const InputEvent& e)
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
    for (const auto& w : m_topLevels)
        windows.push_back(w.get());
    for (HWND w : windows)
        if (IsLive(w))
            SendMessage(w, WM_ENDSESSION, TRUE, how);
    m_inputEnded = true;
}

bool WindowSystem::PreTranslate(MSG& msg)
{
    // From the target up to its top-level window, as the platform's
    // message loop offers each message to the frames and dialogs around it.
    for (HWND w = msg.hwnd; w; w = w->parent) {
        if (!IsLive(w))
            return true;
        if (w->wnd && w->wnd->PreTranslateMessage(&msg))
            return true;
    }
    return false;
}

void WindowSystem::DispatchKey(const InputEvent& e)
{
    // A key goes to the focused control: if the wheel scrolled it out of
    // view, it comes back first.
    RevealFocus();
    HWND target = m_focus;
    HWND active = ActiveTopLevel();
    // Keys go to the focus only while it lies in the active window.
    if (!target || !active || GetTopLevel(target) != active)
        target = active;
    if (!target)
        return;
    LPARAM flags = 1 | (e.alt ? (1 << 29) : 0);
    MSG down{target, e.alt ? WM_SYSKEYDOWN : WM_KEYDOWN, e.vk, flags};
    bool translated = PreTranslate(down);
    if (!translated && IsLive(target))
        SendMessage(target, down.message, down.wParam, down.lParam);
    if (!translated && e.ch && !e.alt && IsLive(target)) {
        // The character goes to whatever has the focus now.
        HWND charTarget = (m_focus && GetTopLevel(m_focus) == ActiveTopLevel()) ? m_focus : target;
        MSG ch{charTarget, WM_CHAR, e.ch, 1};
        if (!PreTranslate(ch) && IsLive(charTarget))
            SendMessage(charTarget, WM_CHAR, e.ch, 1);
    }
    // Terminals report no releases; the release follows at once.
    HWND upTarget = (m_focus && IsLive(m_focus)) ? m_focus : target;
    if (IsLive(upTarget)) {
        MSG up{upTarget, WM_KEYUP, e.vk, LPARAM(1) | (LPARAM(3) << 30)};
        if (!PreTranslate(up) && IsLive(upTarget))
            SendMessage(upTarget, WM_KEYUP, e.vk, up.lParam);
    }
}

HWND WindowSystem::HitChild(HWND hwnd, CPoint cell) const
{
    // Children show, and take clicks, only inside their parent's child area.
    if (!ChildArea(hwnd).PtInRect(cell))
        return hwnd;
    for (auto it = hwnd->children.rbegin(); it != hwnd->children.rend(); ++it) {
        HWND child = it->get();
        if (!(child->style & WS_VISIBLE))
            continue;
        if (GetWindowCells(child).PtInRect(cell))
            return HitChild(child, cell);
    }
    return hwnd;
}

HWND WindowSystem::WindowFromCell(CPoint cell, bool* inClient) const
{
    for (auto it = m_topLevels.rbegin(); it != m_topLevels.rend(); ++it) {
        HWND w = it->get();
        if (!(w->style & WS_VISIBLE) || !GetWindowCells(w).PtInRect(cell))
            continue;
        HWND hit = GetClientCells(w).PtInRect(cell) ? HitChild(w, cell) : w;
        if (inClient)
            *inClient = GetClientCells(hit).PtInRect(cell);
        return hit;
    }
    return nullptr;
}

CPoint WindowSystem::ClientPointFromCell(HWND hwnd, CPoint cell) const
{
    CPoint origin = ClientOriginCell(hwnd);
    CSize px = Host::CellPixels();
    return {(cell.x - origin.x) * px.cx + px.cx / 2, (cell.y - origin.y) * px.cy + px.cy / 2};
}

bool WindowSystem::ClickNonClient(HWND hwnd, CPoint cell)
{
    CRect cells = GetWindowCells(hwnd);
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
                    SendMessage(hwnd, WM_CLOSE);
                    return true;
                }
            }
            if ((hwnd->exStyle & WS_EX_CAPTIONOKBTN) && x >= right - 4 && x < right) {
                SendMessage(hwnd, WM_COMMAND, IDOK, 0);
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
        SendMessage(hwnd, WM_VSCROLL, MAKEWPARAM(WORD(code), 0), 0);
        return true;
    }
    if (hz && y == h - 1) {
        int len = w - (v ? 1 : 0);
        if (x >= len)
            return true;
        UINT code = x == 0 ? SB_LINELEFT : x == len - 1 ? SB_LINERIGHT : x < len / 2 ? SB_PAGELEFT : SB_PAGERIGHT;
        SendMessage(hwnd, WM_HSCROLL, MAKEWPARAM(WORD(code), 0), 0);
        return true;
    }
    return false;
}

void WindowSystem::DispatchWheel(const InputEvent& e)
{
    // The wheel turns what lies under the mouse, in the active window only;
    // a window that does not scroll passes it to its parent (the default
    // window procedure does).
    HWND hit = WindowFromCell(CPoint(e.x, e.y), nullptr);
    if (!hit || GetTopLevel(hit) != ActiveTopLevel() || e.notches == 0)
        return;
    for (HWND w = hit; w; w = w->parent)
        if (w->style & WS_DISABLED)
            return;
    const int delta = std::clamp(e.notches, -0x7FFF / WHEEL_DELTA, 0x7FFF / WHEEL_DELTA) * WHEEL_DELTA;
    // The point is in screen pixels, as every window position is: the
    // centre of the cell under the mouse.
    const CSize px = Host::CellPixels();
    const LPARAM point = MAKELPARAM(WORD(e.x * px.cx + px.cx / 2), WORD(e.y * px.cy + px.cy / 2));
    SendMessage(hit, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(delta))), point);
}

void WindowSystem::DispatchMouse(const InputEvent& e)
{
    CPoint cell(e.x, e.y);
    if (e.kind != InputEvent::Kind::MouseDown) {
        HWND target = m_capture;
        if (!IsLive(target))
            return;
        CPoint p = ClientPointFromCell(target, cell);
        UINT msg = e.kind == InputEvent::Kind::MouseUp ? WM_LBUTTONUP : WM_MOUSEMOVE;
        if (msg == WM_LBUTTONUP)
            m_capture = nullptr;
        SendMessage(target, msg, msg == WM_MOUSEMOVE ? VK_LBUTTON : 0, MAKELPARAM(WORD(p.x), WORD(p.y)));
        return;
    }
    bool inClient = false;
    HWND hit = WindowFromCell(cell, &inClient);
    // Only the active window (the modal one, when one is up) takes clicks;
    // a click elsewhere tells it, so a drop-down list or menu can close.
    HWND active = ActiveTopLevel();
    if (!hit || GetTopLevel(hit) != active) {
        if (active)
            SendMessage(active, WM_CANCELMODE);
        return;
    }
    for (HWND w = hit; w; w = w->parent)
        if (w->style & WS_DISABLED)
            return;
    if (!inClient) {
        ClickNonClient(hit, cell);
        return;
    }
    if (IsFramed(hit) && !ChildArea(hit).PtInRect(cell)) {
        ClickFrame(hit, cell);
        return;
    }
    m_capture = hit;
    CPoint p = ClientPointFromCell(hit, cell);
    SendMessage(hit, WM_LBUTTONDOWN, 0, MAKELPARAM(WORD(p.x), WORD(p.y)));
}
