#include "installer/SetupApp.h"

#include "installer/AgreementDlg.h"

CSetupApp theApp;
CString g_strSetupDir;

BEGIN_MESSAGE_MAP(CSetupApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CSetupApp::CSetupApp() : CWinApp(nullptr) {}

BOOL CSetupApp::InitInstance()
{
    CAgreementDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    return FALSE;
}
