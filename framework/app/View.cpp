#include "framework/app/View.h"

#include "framework/app/DocTemplate.h"
#include "framework/app/Document.h"
#include "framework/app/FrameWnd.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
END_MESSAGE_MAP()

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

BOOL CView::Create(const char16_t* className, const char16_t* windowName, DWORD style, const CRect& rect, CWnd* parent,
                   UINT id, CCreateContext* context)
{
    return CreateEx(0, className ? className : u"AfxFrameOrView", windowName, style | WS_CHILD, rect, parent, id,
                    context);
}

int CView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (Default() == -1)
        return -1;
    auto* context = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (context && context->m_pCurrentDoc && !m_pDocument)
        context->m_pCurrentDoc->AddView(this);
    return 0;
}

BOOL CView::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    if (CWnd::OnCmdMsg(id, code, extra, handlerInfo))
        return TRUE;
    if (m_pDocument && m_pDocument->OnCmdMsg(id, code, extra, handlerInfo))
        return TRUE;
    return m_pDocument && m_pDocument->GetDocTemplate()
        && m_pDocument->GetDocTemplate()->OnCmdMsg(id, code, extra, handlerInfo);
}

void CView::PostNcDestroy() { delete this; }

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, long, CObject*) { Invalidate(TRUE); }

void CView::OnDraw(CDC*) {}

void CView::OnActivateView(BOOL activate, CView* activateView, CView*)
{
    if (!activate || activateView != this)
        return;
    // The view takes the focus unless it or one of its controls has it.
    HWND focus = ::GetFocus();
    CFrameWnd* frame = GetParentFrame();
    bool frameActive = frame && frame->IsActivated() && ::IsWindowVisible(frame->m_hWnd);
    if (frameActive && focus != m_hWnd && !IsChild(m_hWnd, focus))
        SetFocus();
}

void CView::OnPaint()
{
    CPaintDC dc(this);
    CSize s = dc.Size();
    dc.FillRect(CRect(0, 0, s.cx, s.cy), ATTR_NORMAL);
    OnDraw(&dc);
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}
