#include "editor/AboutDlg.h"

#include "editor/res/resource.h"
#include "framework/app/TextEncoding.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

void CAboutDlg::DoDataExchange(CDataExchange* pDX) { CDialog::DoDataExchange(pDX); }

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The encoding shows where it is not the default, under the build's
    // line; an 8-bit session's box is the template as it stands.
    if (SessionTextEncoding() == TextEncoding::Utf8) {
        CString line;
        line.LoadString(IDS_FILES_UTF8);
        CRect r(7, 54, 132, 64);
        MapDialogRect(&r);
        CreateWindowEx(0, u"STATIC", line, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, r.left, r.top, r.Width(),
                       r.Height(), m_hWnd, UINT(IDC_STATIC), nullptr);
    }
    CenterWindow();
    return TRUE;
}
