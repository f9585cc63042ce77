#include "installer/AgreementDlg.h"

#include <algorithm>

#include "framework/app/DataExchange.h"
#include "framework/io/File.h"
#include "framework/io/Path.h"
#include "framework/win/DC.h"
#include "installer/PlatformDlg.h"
#include "installer/SetupApp.h"
#include "installer/res/resource.h"

BEGIN_MESSAGE_MAP(CAgreementDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
END_MESSAGE_MAP()

CAgreementDlg::CAgreementDlg(CWnd* pParent) : CDialog(IDD_AGREEMENT, pParent)
{
    m_strText = u"";
    m_hIcon = LoadIcon(IDR_MAINFRAME);
}

void CAgreementDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_AGREEMENT_TEXT, m_strText);
}

BOOL CAgreementDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // The launcher's folder is its own path up to the last separator,
    // whatever the launcher is called.
    g_strSetupDir = PathFolder(AfxGetApp()->m_pszModulePath);

    CString strPath = g_strSetupDir + u"EULA.txt";
    CFile file;
    if (!file.Open(strPath, CFile::modeRead, nullptr)) {
        CString strMissing;
        strMissing.LoadString(IDS_EULA_MISSING);
        AfxMessageBox(strMissing, 0, 0);
    } else {
        m_strText = u"";
        char buffer[256];
        // Only a regular file opens, so the reading ends; a file that keeps
        // growing is read up to the cap, and the user is told the rest is
        // left out.
        ULONGLONG total = 0;
        bool cut = false;
        for (;;) {
            UINT want = UINT(std::min<ULONGLONG>(255, kMostAgreementBytes - total));
            UINT n = file.Read(buffer, want == 0 ? 1 : want);
            if (n == 0)
                break;
            if (want == 0) {
                cut = true;
                break;
            }
            total += n;
            buffer[n] = 0;
            // Each block counts up to its first zero byte, as a string does.
            m_strText += CString::FromLatin1(std::string_view(buffer));
        }
        file.Close();
        UpdateData(FALSE);
        if (cut) {
            CString strCut;
            strCut.LoadString(IDS_EULA_TOO_LONG);
            AfxMessageBox(strCut, 0, 0);
        }
    }
    return TRUE;
}

void CAgreementDlg::OnOK()
{
    CPlatformDlg dlg;
    dlg.DoModal();
    CDialog::OnOK();
}

void CAgreementDlg::OnCancel()
{
    CString strNotice;
    strNotice.LoadString(IDS_DISAGREE_NOTICE);
    AfxMessageBox(strNotice, MB_OK | MB_ICONEXCLAMATION, 0);
    CString strQuit;
    strQuit.LoadString(IDS_QUIT_SETUP);
    if (AfxMessageBox(strQuit, MB_YESNO | MB_ICONEXCLAMATION, 0) == IDYES)
        CDialog::OnCancel();
}

void CAgreementDlg::OnPaint()
{
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, 0, 0);
        CSize size = dc.Size();
        dc.DrawIcon(0, 0, size.cx, size.cy, m_hIcon);
    } else {
        Default();
    }
}

HICON CAgreementDlg::OnQueryDragIcon() { return m_hIcon; }
