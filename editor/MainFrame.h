// The editor's main window: the command bar with the menu bar and close
// button, the toolbar, and a splitter with the tool pane above the text.
// It owns the Tools commands, which switch the tool pane into its
// find-and-replace or go-to-line form.
#pragma once

#include "editor/PaneSplitter.h"
#include "framework/app/ControlBar.h"
#include "framework/app/FrameWnd.h"

class CTesseraView;
class CToolView;

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    CPaneSplitter m_wndSplitter;
    CCeCommandBar m_wndCommandBar;
    CToolBar m_wndToolBar;
    CTesseraView* m_pEditView = nullptr;
    CToolView* m_pToolView = nullptr;

protected:
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnToolsFindReplace();
    void OnUpdateToolsFindReplace(CCmdUI* pCmdUI);
    void OnToolsGoto();
    void OnUpdateToolsGoto(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()
};
