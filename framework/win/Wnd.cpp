#include "framework/win/Wnd.h"

#include "framework/win/WindowSystem.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd()
{
    // A plain handle wrapper leaves the window alone; the attached object
    // takes its window with it.
    if (IsWindow(m_hWnd) && m_hWnd->wnd == this) {
        HWND hwnd = m_hWnd;
        // The object goes first; the window must not call back into it.
        hwnd->wnd = nullptr;
        m_hWnd = nullptr;
        ::DestroyWindow(hwnd);
    }
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return nullptr;
    if (CWnd* attached = FromHandlePermanent(hwnd))
        return attached;
    if (!hwnd->tempWnd) {
        hwnd->tempWnd = std::make_unique<CWnd>();
        hwnd->tempWnd->m_hWnd = hwnd;
    }
    return static_cast<CWnd*>(hwnd->tempWnd.get());
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    // Every object a window has attached is a CWnd.
    return IsWindow(hwnd) ? static_cast<CWnd*>(hwnd->wnd) : nullptr;
}

BOOL CWnd::Create(const char16_t* className, const char16_t* windowName, DWORD style, const CRect& rect, CWnd* parent,
                  UINT id, CCreateContext* context)
{
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id, context);
}

CPaintDC::CPaintDC(CWnd* wnd) : CDC(WindowSystem::Get().Painter().BeginPaint(wnd->m_hWnd)) {}

HWND AfxCreateWindow(CWnd* wnd, CREATESTRUCT& cs)
{
    return CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy, cs.hwndParent,
                          cs.id, cs.lpCreateParams, wnd);
}

BOOL CWnd::CreateEx(DWORD exStyle, const char16_t* className, const char16_t* windowName, DWORD style,
                    const CRect& rect, CWnd* parent, UINT id, void* param)
{
    CREATESTRUCT cs;
    cs.dwExStyle = exStyle;
    cs.lpszClass = className ? CString(className) : CString(u"AfxWnd");
    cs.lpszName = windowName ? CString(windowName) : CString();
    cs.style = style;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.Width();
    cs.cy = rect.Height();
    cs.hwndParent = parent ? parent->m_hWnd : nullptr;
    cs.id = id;
    cs.lpCreateParams = param;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    HWND hwnd = AfxCreateWindow(this, cs);
    return hwnd ? TRUE : FALSE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&) { return TRUE; }

BOOL CWnd::DestroyWindow()
{
    if (!IsWindow(m_hWnd))
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::Attach(HWND hwnd)
{
    if (!IsWindow(hwnd) || (hwnd->wnd && hwnd->wnd != this))
        return FALSE;
    m_hWnd = hwnd;
    hwnd->wnd = this;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hwnd = m_hWnd;
    if (IsWindow(hwnd) && hwnd->wnd == this)
        hwnd->wnd = nullptr;
    m_hWnd = nullptr;
    return hwnd;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0, 0);
    if (!entry)
        return FALSE;
    *pResult = entry->pfn(this, wParam, lParam);
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallDefaultProc(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT id = LOWORD(wParam);
    int code = HIWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    // Menus and accelerators send no control: theirs is a plain command.
    if (!control)
        code = int(CN_COMMAND);
    CWnd* child = control != m_hWnd ? FromHandlePermanent(control) : nullptr;
    if (child) {
        LRESULT result = 0;
        if (child->OnChildNotify(WM_COMMAND, wParam, lParam, &result))
            return TRUE;
    }
    return OnCmdMsg(id, code, nullptr, nullptr);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT* pResult)
{
    if (message != WM_COMMAND)
        return FALSE;
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0);
    if (!entry)
        return FALSE;
    *pResult = entry->pfn(this, wParam, 0);
    return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::Default()
{
    const MSG& m = WindowSystem::Get().Tree().CurrentMessage();
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::ShowWindow(int cmd) const { return ::ShowWindow(m_hWnd, cmd); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL enable) const { return ::EnableWindow(m_hWnd, enable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }

CWnd* CWnd::SetFocus() const { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }

void CWnd::SetWindowText(const CString& text) const { ::SetWindowText(m_hWnd, text); }
void CWnd::GetWindowText(CString& text) const { text = ::GetWindowText(m_hWnd); }
CString CWnd::GetWindowText() const { return ::GetWindowText(m_hWnd); }
int CWnd::GetWindowTextLength() const { return ::GetWindowTextLength(m_hWnd); }
CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::GetOwner() const { return IsWindow(m_hWnd) ? FromHandle(m_hWnd->owner) : nullptr; }
CWnd* CWnd::GetTopLevelParent() const { return FromHandle(GetTopLevel(m_hWnd)); }
DWORD CWnd::GetStyle() const { return IsWindow(m_hWnd) ? m_hWnd->style : 0; }
DWORD CWnd::GetExStyle() const { return IsWindow(m_hWnd) ? m_hWnd->exStyle : 0; }

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add) const
{
    if (!IsWindow(m_hWnd))
        return FALSE;
    m_hWnd->style = (m_hWnd->style & ~remove) | add;
    WindowSystem::Get().Invalidate();
    return TRUE;
}

void CWnd::GetClientRect(CRect* rect) const { *rect = ::GetClientRect(m_hWnd); }
void CWnd::GetWindowRect(CRect* rect) const { *rect = ::GetWindowRect(m_hWnd); }
void CWnd::MoveWindow(const CRect& r, BOOL repaint) const
{
    ::MoveWindow(m_hWnd, r.left, r.top, r.Width(), r.Height(), repaint);
}
void CWnd::MoveWindow(int x, int y, int cx, int cy, BOOL repaint) const { ::MoveWindow(m_hWnd, x, y, cx, cy, repaint); }

void CWnd::CenterWindow(CWnd* alternateOwner) const
{
    if (!IsWindow(m_hWnd))
        return;
    CRect area;
    HWND center = alternateOwner ? alternateOwner->m_hWnd : (m_hWnd->parent ? m_hWnd->parent : m_hWnd->owner);
    if (IsWindow(center)) {
        area = ::GetWindowRect(center);
    } else {
        CSize screen = WindowSystem::Get().Viewport().ScreenPixels();
        area = CRect(0, 0, screen.cx, screen.cy);
    }
    CRect r = m_hWnd->rect;
    int x = area.left + (area.Width() - r.Width()) / 2;
    int y = area.top + (area.Height() - r.Height()) / 2;
    if (m_hWnd->parent) {
        CRect pr = ::GetWindowRect(m_hWnd->parent);
        x -= pr.left;
        y -= pr.top;
    } else {
        // Keep a top-level window on the screen.
        CSize screen = WindowSystem::Get().Viewport().ScreenPixels();
        x = std::max(0, std::min(x, screen.cx - r.Width()));
        y = std::max(0, std::min(y, screen.cy - r.Height()));
    }
    ::MoveWindow(m_hWnd, x, y, r.Width(), r.Height(), TRUE);
}

void CWnd::Invalidate(BOOL erase) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
void CWnd::InvalidateRect(const CRect* rect, BOOL erase) const { ::InvalidateRect(m_hWnd, rect, erase); }
void CWnd::UpdateWindow() const { WindowSystem::Get().Painter().Present(); }

HICON CWnd::SetIcon(HICON icon, BOOL big) const
{
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

void CWnd::SetFont(HFONT font, BOOL redraw) const { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
HFONT CWnd::GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
void CWnd::SetScrollInfo(int bar, const SCROLLINFO& info, BOOL redraw) const
{
    ::SetScrollInfo(m_hWnd, bar, info, redraw);
}
int CWnd::GetScrollPos(int bar) const { return ::GetScrollInfo(m_hWnd, bar).nPos; }

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam) const
{
    if (!IsWindow(m_hWnd))
        return;
    std::vector<HWND> kids;
    for (auto& c : m_hWnd->children)
        kids.push_back(c.get());
    for (HWND k : kids) {
        if (!IsWindow(k))
            continue;
        ::SendMessage(k, message, wParam, lParam);
        if (IsWindow(k))
            FromHandle(k)->SendMessageToDescendants(message, wParam, lParam);
    }
}

int CWnd::OnCreate(LPCREATESTRUCT) { return int(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
