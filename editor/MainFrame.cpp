#include "editor/MainFrame.h"

#include "editor/TesseraView.h"
#include "editor/ToolView.h"
#include "editor/res/resource.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_TOOLS_FIND_REPLACE, OnToolsFindReplace)
    ON_UPDATE_COMMAND_UI(ID_TOOLS_FIND_REPLACE, OnUpdateToolsFindReplace)
    ON_COMMAND(ID_TOOLS_GOTO, OnToolsGoto)
    ON_UPDATE_COMMAND_UI(ID_TOOLS_GOTO, OnUpdateToolsGoto)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() = default;
CMainFrame::~CMainFrame() = default;

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_wndCommandBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR))
        return -1;
    if (!m_wndCommandBar.InsertMenuBar(IDR_MAINFRAME, 0xFFFF))
        return -1;
    if (!m_wndCommandBar.AddAdornments(0))
        return -1;
    if (!m_wndToolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR))
        return -1;
    if (!m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;
    m_wndCommandBar.SetBarStyle(m_wndCommandBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_FIXED);
    return 0;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs) { return CFrameWnd::PreCreateWindow(cs); }

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    BOOL created = m_wndSplitter.CreateStatic(this, 2, 1, WS_CHILD | WS_VISIBLE, AFX_IDW_PANE_FIRST);
    m_wndSplitter.CreateView(1, 0, RUNTIME_CLASS(CTesseraView), CSize(0, 0), pContext);
    m_wndSplitter.CreateView(0, 0, RUNTIME_CLASS(CToolView), CSize(0, 0), pContext);

    CRect rect;
    GetClientRect(&rect);
    CToolView::SizeRows(m_wndSplitter, CToolView::Mode::Idle, rect.bottom - rect.top);

    SetActiveView(static_cast<CView*>(m_wndSplitter.GetPane(1, 0)), TRUE);

    m_pEditView = static_cast<CTesseraView*>(m_wndSplitter.GetPane(1, 0));
    m_pToolView = static_cast<CToolView*>(m_wndSplitter.GetPane(0, 0));
    if (m_pToolView && m_pEditView) {
        m_pToolView->AttachViews(m_pEditView, &m_wndSplitter);
        m_pEditView->m_pToolView = m_pToolView;
    }
    return created;
}

void CMainFrame::OnToolsFindReplace()
{
    CString selected;
    m_pEditView->GetSelectedText(selected);
    m_pToolView->m_strFind = selected;
    m_pToolView->ShowFindControls();

    CRect rect;
    GetClientRect(&rect);
    CToolView::SizeRows(m_wndSplitter, CToolView::Mode::Find, rect.bottom - rect.top);
    SetActiveView(static_cast<CView*>(m_wndSplitter.GetPane(0, 0)), TRUE);
    m_wndSplitter.RecalcLayout();
}

void CMainFrame::OnToolsGoto()
{
    m_pToolView->ShowGotoControls();

    CRect rect;
    GetClientRect(&rect);
    CToolView::SizeRows(m_wndSplitter, CToolView::Mode::Goto, rect.bottom - rect.top);
    SetActiveView(static_cast<CView*>(m_wndSplitter.GetPane(0, 0)), TRUE);
    m_wndSplitter.RecalcLayout();
}

void CMainFrame::OnUpdateToolsFindReplace(CCmdUI* pCmdUI) { pCmdUI->Enable(m_pEditView->GetWindowTextLength()); }

void CMainFrame::OnUpdateToolsGoto(CCmdUI* pCmdUI) { pCmdUI->Enable(m_pEditView->GetWindowTextLength()); }
