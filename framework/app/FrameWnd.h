// CFrameWnd: a program's top-level window. It holds control bars along its
// top and a client window (the pane, id AFX_IDW_PANE_FIRST) below them,
// translates its accelerators, keeps the active view, and routes commands:
// the active view and its document first, then the frame, then the
// application.
#pragma once

#include "framework/app/DocTemplate.h"
#include "framework/res/ResourceTypes.h"
#include "framework/win/Wnd.h"

class CView;
class CDocument;

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd() = default;
    ~CFrameWnd() override;

    // Creates the window from resource id: title from the document string,
    // accelerators and small icon of the same id.
    virtual BOOL LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* context);
    CWnd* CreateView(CCreateContext* context, UINT id = AFX_IDW_PANE_FIRST);

    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* view, BOOL notify = TRUE);
    virtual CDocument* GetActiveDocument();
    // Shows the frame and gives the keyboard focus to its active view.
    virtual void ActivateFrame(int cmdShow = -1);
    void InitialUpdateFrame(CDocument* doc, BOOL makeVisible);

    virtual void RecalcLayout(BOOL notify = TRUE);
    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void PostNcDestroy() override;
    // Whether the command is enabled now, as its update handler says.
    BOOL IsCommandEnabled(UINT id);

    const CString& GetTitle() const { return m_strTitle; }
    // Whether the frame has been activated (shown with its view focused).
    bool IsActivated() const { return m_bActivated; }

protected:
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnClose();
    // The main window tells the application that the session ends.
    void OnEndSession(BOOL ending);
    void OnDestroy();
    void OnSize(UINT type, int cx, int cy);
    void OnSetFocus(CWnd* old);
    LRESULT OnIdleUpdateCmdUI(WPARAM, LPARAM);
    LRESULT OnFocusChanged(WPARAM, LPARAM);

    CView* m_pViewActive = nullptr;
    const res::AcceleratorTable* m_hAccelTable = nullptr;
    CString m_strTitle;
    CCreateContext* m_pCreateContext = nullptr;
    bool m_bActivated = false;

    DECLARE_MESSAGE_MAP()
};
