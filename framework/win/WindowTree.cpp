#include "framework/win/WindowFunctions.h"
#include "framework/win/WindowSystem.h"

#include <algorithm>

#include "framework/base/Exception.h"
#include "framework/win/ControlClasses.h"
#include "framework/win/NonClientPainter.h"
#include "framework/win/Wnd.h"

// The window tree: the top-level windows and their children, which window
// has the keyboard focus, the delivery of messages, and the paint pass that
// draws the tree into the canvas (from the bottom top-level window up, each
// window before its children). Input routing is in InputRouter.cpp, the
// view of a popup larger than the screen in PopupViewport.cpp.

WindowSystem& WindowSystem::Get()
{
    static WindowSystem instance;
    return instance;
}

void WindowSystem::SetHost(Host* host)
{
    m_host = host;
    m_viewport.SetHost(host);
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

HWND WindowSystem::Create(const CREATESTRUCT& cs, WindowObject* attach)
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
        m_viewport.RevealFocus(m_focus);
    m_dirty = true;
    return old;
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
    CSize cells = m_viewport.ScreenCells();
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
    CRect cells = m_viewport.WindowCells(hwnd);
    CRect visible;
    if (!visible.IntersectRect(cells, clip))
        return;
    CDC whole(&m_canvas, cells.TopLeft(), visible);
    PaintNonClient(hwnd, whole, cells);

    CRect client = m_viewport.ClientCells(hwnd);
    CRect clientVisible;
    if (clientVisible.IntersectRect(client, visible)) {
        HWND savedWnd = m_painting;
        CDC savedDC = m_paintDC;
        m_painting = hwnd;
        // A control cut by its dialog's frame or the screen still lays out
        // over its whole client area; a cut popup's client area is the
        // whole of it, shown or not.
        CSize hidden = m_viewport.HiddenCells(hwnd);
        CSize size(client.Width() + hidden.cx, client.Height() + hidden.cy);
        m_paintDC = CDC(&m_canvas, m_viewport.ClientOriginCell(hwnd), clientVisible, size);
        SendMessage(hwnd, WM_PAINT);
        m_painting = savedWnd;
        m_paintDC = savedDC;
        // Children stay inside the frame, which is drawn over the edges last.
        CRect childClip;
        if (childClip.IntersectRect(m_viewport.ChildArea(hwnd), clientVisible)) {
            for (size_t i = 0; i < hwnd->children.size(); ++i) {
                HWND child = hwnd->children[i].get();
                if (child->style & WS_VISIBLE)
                    PaintWindow(child, childClip);
            }
        }
        if (IsFramed(hwnd)) {
            CDC frame(&m_canvas, client.TopLeft(), clientVisible);
            PaintFrame(frame, CSize(client.Width(), client.Height()), hidden, m_viewport.ViewOffset(hwnd));
        }
    }
    if (!hwnd->parent && (hwnd->style & WS_DISABLED))
        whole.AddAttr(CRect(0, 0, cells.Width(), cells.Height()), ATTR_INACTIVE);
}

void WindowSystem::Present()
{
    if (!m_host)
        return;
    m_host->Present(Paint());
}
