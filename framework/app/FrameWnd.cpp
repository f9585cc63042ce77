#include "framework/app/FrameWnd.h"

#include "framework/app/ControlBar.h"
#include "framework/app/Document.h"
#include "framework/app/View.h"
#include "framework/app/WinApp.h"
#include "framework/res/Resources.h"
#include "framework/win/WindowSystem.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_ENDSESSION()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_MESSAGE(WM_FOCUSCHANGED, OnFocusChanged)
END_MESSAGE_MAP()

CFrameWnd::~CFrameWnd()
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this)
        app->m_pMainWnd = nullptr;
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context)
{
    CString strings;
    strings.LoadString(resourceId);
    int nl = strings.Find(u'\n');
    m_strTitle = nl < 0 ? strings : strings.Left(nl);
    CSize screen = WindowSystem::Get().Viewport().ScreenPixels();
    m_pCreateContext = context;
    BOOL ok = CreateEx(0, u"AfxFrameOrView", m_strTitle, style, CRect(0, 0, screen.cx, screen.cy), parent, 0, context);
    m_pCreateContext = nullptr;
    if (!ok)
        return FALSE;
    if (res::FindIcon(resourceId))
        SetIcon(reinterpret_cast<HICON>(UINT_PTR(resourceId)), FALSE);
    m_hAccelTable = res::FindAccelerators(resourceId);
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT&) { return TRUE; }

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    auto* context = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (!OnCreateClient(lpcs, context))
        return -1;
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* context)
{
    if (context && context->m_pNewViewClass)
        return CreateView(context) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* context, UINT id)
{
    CObject* obj = context->m_pNewViewClass->CreateObject();
    auto* view = static_cast<CWnd*>(obj);
    if (!view)
        return nullptr;
    if (!view->Create(nullptr, nullptr, WS_VISIBLE | WS_CHILD, CRect(), this, id, context))
        return nullptr;
    return view;
}

void CFrameWnd::SetActiveView(CView* view, BOOL notify)
{
    CView* old = m_pViewActive;
    m_pViewActive = view;
    if (notify && view) {
        view->OnActivateView(TRUE, view, old);
    }
}

CDocument* CFrameWnd::GetActiveDocument()
{
    if (m_pViewActive)
        return m_pViewActive->GetDocument();
    CWinApp* app = AfxGetApp();
    CDocTemplate* tmpl = app ? app->GetDocTemplate() : nullptr;
    return tmpl ? tmpl->GetOpenDocument() : nullptr;
}

void CFrameWnd::ActivateFrame(int cmdShow)
{
    ShowWindow(cmdShow < 0 ? SW_SHOW : cmdShow);
    m_bActivated = true;
    // An active frame gives the keyboard focus to its active view.
    if (m_pViewActive) {
        HWND focus = ::GetFocus();
        if (!focus || (focus != m_pViewActive->m_hWnd && !IsChild(m_pViewActive->m_hWnd, focus)))
            m_pViewActive->SetFocus();
    }
}

void CFrameWnd::InitialUpdateFrame(CDocument*, BOOL makeVisible)
{
    if (!makeVisible)
        return;
    SendMessageToDescendants(WM_INITIALUPDATE);
    ActivateFrame();
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (!IsWindow(m_hWnd))
        return;
    CRect client;
    GetClientRect(&client);
    int y = 0;
    // Control bars along the top, in the order they were made.
    for (auto& child : m_hWnd->children) {
        CWnd* w = CWnd::FromHandlePermanent(child.get());
        if (!w || !w->IsKindOf(RUNTIME_CLASS(CControlBar)) || !(child->style & WS_VISIBLE))
            continue;
        int h = static_cast<CControlBar*>(w)->CalcHeight();
        ::MoveWindow(child.get(), 0, y, client.Width(), h, TRUE);
        y += h;
    }
    if (HWND pane = ::GetDlgItem(m_hWnd, int(AFX_IDW_PANE_FIRST)))
        ::MoveWindow(pane, 0, y, client.Width(), std::max(0, client.Height() - y), TRUE);
}

BOOL CFrameWnd::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    if (m_pViewActive && m_pViewActive->OnCmdMsg(id, code, extra, handlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(id, code, extra, handlerInfo))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(id, code, extra, handlerInfo);
}

BOOL CFrameWnd::IsCommandEnabled(UINT id)
{
    CCmdUI ui;
    ui.m_nID = id;
    ui.DoUpdate(this, TRUE);
    return ui.m_bEnabled;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg)
{
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)
        return FALSE;
    // The menu bar takes F10 and Alt with a letter.
    for (auto& child : m_hWnd->children) {
        CWnd* w = CWnd::FromHandlePermanent(child.get());
        if (w && w->IsKindOf(RUNTIME_CLASS(CControlBar)) && static_cast<CControlBar*>(w)->HandleMenuKey(msg))
            return TRUE;
    }
    if (!m_hAccelTable || msg->message != WM_KEYDOWN)
        return FALSE;
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool alt = GetKeyState(VK_MENU) < 0;
    for (const res::AccelEntry& e : m_hAccelTable->entries) {
        if (!(e.flags & FVIRTKEY) || e.key != msg->wParam)
            continue;
        if (bool(e.flags & FCONTROL) != ctrl || bool(e.flags & FSHIFT) != shift || bool(e.flags & FALT) != alt)
            continue;
        // A disabled command's accelerator does nothing, but is still spent.
        if (IsCommandEnabled(e.cmd))
            SendMessage(WM_COMMAND, MAKEWPARAM(e.cmd, 1), 0);
        return TRUE;
    }
    return FALSE;
}

void CFrameWnd::OnClose()
{
    CDocument* doc = GetActiveDocument();
    if (doc && !doc->CanCloseFrame(this))
        return;
    if (doc)
        doc->OnCloseDocument();
    else
        DestroyWindow();
}

void CFrameWnd::OnEndSession(BOOL ending)
{
    CWinApp* app = AfxGetApp();
    if (ending && app && app->m_pMainWnd == this)
        app->OnEndSession();
}

void CFrameWnd::OnDestroy()
{
    m_pViewActive = nullptr;
    Default();
}

void CFrameWnd::PostNcDestroy()
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this)
        app->m_pMainWnd = nullptr;
    delete this;
}

void CFrameWnd::OnSize(UINT, int, int) { RecalcLayout(); }

void CFrameWnd::OnSetFocus(CWnd*)
{
    if (m_pViewActive)
        m_pViewActive->SetFocus();
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
    if (!IsWindowVisible())
        return 0;
    std::vector<HWND> bars;
    for (auto& child : m_hWnd->children)
        if (CWnd* w = CWnd::FromHandlePermanent(child.get()); w && w->IsKindOf(RUNTIME_CLASS(CControlBar)))
            bars.push_back(child.get());
    for (HWND bar : bars)
        if (CWnd* w = CWnd::FromHandlePermanent(bar))
            static_cast<CControlBar*>(w)->OnUpdateCmdUI(this, TRUE);
    return 0;
}

CFrameWnd* CWnd::GetParentFrame() const
{
    for (HWND w = IsWindow(m_hWnd) ? m_hWnd->parent : nullptr; w; w = w->parent)
        if (CWnd* object = FromHandlePermanent(w); object && object->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
            return static_cast<CFrameWnd*>(object);
    return nullptr;
}

LRESULT CFrameWnd::OnFocusChanged(WPARAM wParam, LPARAM)
{
    // The view that takes the keyboard focus, or holds the control that
    // does, becomes the active view: commands then go where the user works.
    for (HWND w = reinterpret_cast<HWND>(wParam); w && w != m_hWnd; w = w->parent) {
        if (CWnd* object = CWnd::FromHandlePermanent(w); object && object->IsKindOf(RUNTIME_CLASS(CView))) {
            auto* view = static_cast<CView*>(object);
            if (view != m_pViewActive && view->GetParentFrame() == this)
                SetActiveView(view, FALSE);
            break;
        }
    }
    return 0;
}
