#include "installer/PlatformDlg.h"

#include <string>

#include "framework/app/DataExchange.h"
#include "framework/app/WinApp.h"
#include "framework/io/Process.h"
#include "installer/SetupApp.h"
#include "installer/res/resource.h"

CStringArray g_arrPlatformFolders;

BEGIN_MESSAGE_MAP(CPlatformDlg, CDialog)
    ON_CBN_SELCHANGE(IDC_PLATFORM_LIST, OnSelchangePlatform)
END_MESSAGE_MAP()

CPlatformDlg::CPlatformDlg(CWnd* pParent) : CDialog(IDD_PLATFORM, pParent) { m_nPlatform = -1; }

void CPlatformDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnContinue);
    DDX_Control(pDX, IDC_PLATFORM_LIST, m_cbPlatform);
    DDX_CBIndex(pDX, IDC_PLATFORM_LIST, m_nPlatform);
}

BOOL CPlatformDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    FillPlatformList();
    return TRUE;
}

void CPlatformDlg::FillPlatformList()
{
    m_cbPlatform.ResetContent();
    g_arrPlatformFolders.SetSize(0, -1);

    CString strFolders;
    CString strNames;
    strFolders.LoadString(IDS_PLATFORM_FOLDERS);
    strNames.LoadString(IDS_PLATFORM_NAMES);
    int nFolderPos = 0;
    int nNamePos = 0;
    do {
        CString strFolder;
        CString strName;
        while (nFolderPos < strFolders.GetLength()) {
            char16_t ch = strFolders[nFolderPos++];
            if (ch == u';')
                break;
            strFolder += ch;
        }
        while (nNamePos < strNames.GetLength()) {
            char16_t ch = strNames[nNamePos++];
            if (ch == u';')
                break;
            strName += ch;
        }
        m_cbPlatform.AddString(strName);
        g_arrPlatformFolders.Add(strFolder);
    } while (nFolderPos < strFolders.GetLength() && nNamePos < strNames.GetLength());
}

void CPlatformDlg::OnSelchangePlatform()
{
    UpdateData(TRUE);
    m_btnContinue.EnableWindow(m_nPlatform >= 0 && m_nPlatform < m_cbPlatform.GetCount());
}

void CPlatformDlg::OnOK()
{
    UpdateData(TRUE);
    // The installer is started by its path: the launcher's folder byte for
    // byte as the system gave it, then the platform's folder and its
    // setup.exe. Nothing in it is parsed, quoted or converted, so no name a
    // folder can have (blanks, quotes, backslashes, line ends, a leading
    // dash) makes the system start another program. The path grows with the
    // folder's.
    CString strPath = g_strSetupDir + g_arrPlatformFolders[m_nPlatform] + u"/setup.exe";
    std::string buffer = strPath.ToBytes();
    RunProgram(buffer.data());
    CDialog::OnOK();
}

void CPlatformDlg::OnCancel()
{
    CString strQuit;
    strQuit.LoadString(IDS_QUIT_SETUP);
    if (AfxMessageBox(strQuit, MB_YESNO | MB_ICONEXCLAMATION, 0) == IDYES)
        CDialog::OnCancel();
}

BOOL RunProgram(LPSTR lpPath)
{
    STARTUPINFOA si;
    PROCESS_INFORMATION pi;
    GetStartupInfoA(&si);
    si.wShowWindow = SW_SHOW;
    CreateProcessA(lpPath, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    return TRUE;
}
