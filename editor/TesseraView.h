// The edit view: the text of the document in the lower pane. It marks the
// document changed on every change, reports the caret's line to the tool
// pane, keeps the find history, and lets the tool pane use its find and
// replace operations.
#pragma once

#include "editor/FindHistory.h"
#include "framework/app/EditView.h"

class CToolView;

class CTesseraView : public CEditView {
    DECLARE_DYNCREATE(CTesseraView)
public:
    CTesseraView();
    ~CTesseraView() override;

    BOOL Create(const char16_t* lpszClassName, const char16_t* lpszWindowName, DWORD dwStyle, const CRect& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    void ReportCaretLine();

    // The find operations, for the tool pane.
    void OnFindNext(const char16_t* lpszFind, BOOL bNext, BOOL bCase) override
    {
        CEditView::OnFindNext(lpszFind, bNext, bCase);
    }
    void OnReplaceSel(const char16_t* lpszFind, BOOL bNext, BOOL bCase, const char16_t* lpszReplace) override
    {
        CEditView::OnReplaceSel(lpszFind, bNext, bCase, lpszReplace);
    }
    void OnReplaceAll(const char16_t* lpszFind, const char16_t* lpszReplace, BOOL bCase) override
    {
        CEditView::OnReplaceAll(lpszFind, lpszReplace, bCase);
    }

    CFindHistory m_findHistory;
    CToolView* m_pToolView = nullptr;

protected:
    void OnUpdate(CView* pSender, long lHint, CObject* pHint) override;
    void OnDraw(CDC* pDC) override;

    void OnEditPaste();
    void OnEditCopy();
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnSetFocusReflect();
    void OnHScrollReflect();
    void OnChangeReflect();
    void OnVScrollReflect();

    DECLARE_MESSAGE_MAP()
};
