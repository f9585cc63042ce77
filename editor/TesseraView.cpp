#include "editor/TesseraView.h"

#include "editor/ToolView.h"
#include "framework/app/Document.h"

IMPLEMENT_DYNCREATE(CTesseraView, CEditView)

BEGIN_MESSAGE_MAP(CTesseraView, CEditView)
    ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
    ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_LBUTTONDOWN()
    ON_WM_KEYUP()
    ON_WM_CHAR()
    ON_CONTROL_REFLECT(EN_SETFOCUS, OnSetFocusReflect)
    ON_CONTROL_REFLECT(EN_HSCROLL, OnHScrollReflect)
    ON_CONTROL_REFLECT(EN_CHANGE, OnChangeReflect)
    ON_CONTROL_REFLECT(EN_VSCROLL, OnVScrollReflect)
END_MESSAGE_MAP()

CTesseraView::CTesseraView() = default;
CTesseraView::~CTesseraView() = default;

BOOL CTesseraView::Create(const char16_t* lpszClassName, const char16_t* lpszWindowName, DWORD dwStyle,
                          const CRect& rect, CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    HFONT font = GetStockObject(SYSTEM_FONT);
    if (!CEditView::Create(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext))
        return FALSE;
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return TRUE;
}

BOOL CTesseraView::PreCreateWindow(CREATESTRUCT& cs)
{
    BOOL ok = CEditView::PreCreateWindow(cs);
    // The splitter draws no border around its panes.
    cs.style &= ~WS_BORDER;
    return ok;
}

void CTesseraView::OnUpdate(CView*, long, CObject*) {}

void CTesseraView::OnDraw(CDC*) {}

void CTesseraView::ReportCaretLine()
{
    int start = 0, end = 0;
    GetEditCtrl().GetSel(start, end);
    if (start != end || !m_pToolView)
        return;
    m_pToolView->ShowLineNumber(GetEditCtrl().LineFromChar(start) + 1);
}

void CTesseraView::OnEditPaste() { SendMessage(WM_PASTE, 0, 0); }

void CTesseraView::OnEditCopy() { SendMessage(WM_COPY, 0, 0); }

void CTesseraView::OnHScroll(UINT, UINT, CScrollBar*)
{
    Default();
    InvalidateRect(nullptr, TRUE);
    ReportCaretLine();
}

void CTesseraView::OnVScroll(UINT, UINT, CScrollBar*)
{
    Default();
    InvalidateRect(nullptr, TRUE);
    ReportCaretLine();
}

void CTesseraView::OnLButtonDown(UINT, CPoint)
{
    Default();
    ReportCaretLine();
}

void CTesseraView::OnKeyUp(UINT, UINT, UINT)
{
    Default();
    ReportCaretLine();
}

void CTesseraView::OnChar(UINT, UINT, UINT)
{
    Default();
    ReportCaretLine();
}

void CTesseraView::OnSetFocusReflect() { ReportCaretLine(); }

void CTesseraView::OnHScrollReflect() { ReportCaretLine(); }

void CTesseraView::OnChangeReflect()
{
    ReportCaretLine();
    if (CDocument* doc = GetDocument())
        doc->SetModifiedFlag(TRUE);
}

void CTesseraView::OnVScrollReflect() {}
