#include "editor/TesseraApp.h"

#include "editor/AboutDlg.h"
#include "editor/MainFrame.h"
#include "editor/TesseraDoc.h"
#include "editor/TesseraView.h"
#include "editor/res/resource.h"
#include "framework/app/DocTemplate.h"

CTesseraApp theApp;

BEGIN_MESSAGE_MAP(CTesseraApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
    ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, CWinApp::OnFileOpen)
END_MESSAGE_MAP()

CTesseraApp::CTesseraApp() : CWinApp(nullptr) {}

BOOL CTesseraApp::InitInstance()
{
    SetRegistryKey(u"Local AppWizard-Generated Applications");

    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CTesseraDoc), RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(CTesseraView)));

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    m_bStartFailed = !ProcessShellCommand(cmdInfo);
    if (m_bStartFailed)
        return FALSE;

    m_pMainWnd->ShowWindow(SW_SHOW);
    m_pMainWnd->UpdateWindow();
    return TRUE;
}

int CTesseraApp::ExitInstance()
{
    int code = CWinApp::ExitInstance();
    // The user has seen why; the shell that started the editor learns it
    // too, rather than a success.
    return m_bStartFailed ? 1 : code;
}

void CTesseraApp::OnAppAbout()
{
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
}
