// The licence agreement: the text of EULA.txt beside the launcher, and the
// choice to agree (on to the platform selection) or not.
#pragma once

#include "framework/app/Dialog.h"

class CAgreementDlg : public CDialog {
public:
    explicit CAgreementDlg(CWnd* pParent = nullptr);

    CString m_strText;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnPaint();
    HICON OnQueryDragIcon();

    HICON m_hIcon;

    DECLARE_MESSAGE_MAP()
};
