#include "framework/app/FormView.h"

#include "framework/app/DocTemplate.h"
#include "framework/app/Document.h"
#include "framework/res/Resources.h"
#include "framework/win/DialogManager.h"

IMPLEMENT_DYNAMIC(CFormView, CView)

BEGIN_MESSAGE_MAP(CFormView, CView)
    ON_WM_SETFOCUS()
END_MESSAGE_MAP()

BOOL CFormView::Create(const char16_t*, const char16_t*, DWORD style, const CRect& rect, CWnd* parent, UINT id,
                       CCreateContext* context)
{
    const res::DialogTemplate* tmpl = res::FindDialog(m_nIDTemplate);
    if (!tmpl || !parent)
        return FALSE;
    // The template's own size is only where the form starts: its parent lays
    // it out from then on.
    CREATESTRUCT cs;
    cs.lpszClass = u"#32770";
    cs.style = (tmpl->style & ~(WS_POPUP | WS_CAPTION | WS_VISIBLE)) | WS_CHILD | (style & WS_VISIBLE);
    cs.dwExStyle = tmpl->exStyle;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.Width();
    cs.cy = rect.Height();
    cs.hwndParent = parent->m_hWnd;
    cs.id = id;
    cs.lpCreateParams = context;
    if (!PreCreateWindow(cs))
        return FALSE;
    if (!AfxCreateWindow(this, cs))
        return FALSE;
    CreateDialogControls(*tmpl, m_hWnd);
    return TRUE;
}

void CFormView::OnInitialUpdate()
{
    UpdateData(FALSE);
    CView::OnInitialUpdate();
}

BOOL CFormView::PreTranslateMessage(MSG* msg) { return IsDialogMessage(m_hWnd, msg); }

void CFormView::OnSetFocus(CWnd*)
{
    // The form passes the focus on to its first control that takes Tab.
    if (HWND first = GetNextDlgTabItem(m_hWnd, nullptr, FALSE))
        FocusDialogControl(first);
}
