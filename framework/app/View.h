// CView: a window that shows a document. Views belong to one document, are
// created by their frame through their runtime class, and delete
// themselves when their window is destroyed.
#pragma once

#include "framework/win/DC.h"
#include "framework/win/Wnd.h"

class CDocument;
class CFrameWnd;

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    BOOL Create(const char16_t* className, const char16_t* windowName, DWORD style, const CRect& rect, CWnd* parent,
                UINT id, CCreateContext* context = nullptr) override;
    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;
    void PostNcDestroy() override;

    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* sender, long hint, CObject* hintObject);
    virtual void OnDraw(CDC* dc);
    virtual void OnActivateView(BOOL activate, CView* activateView, CView* deactiveView);

    CDocument* m_pDocument = nullptr;

protected:
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnPaint();
    LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()
};
