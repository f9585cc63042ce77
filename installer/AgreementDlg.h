// The licence agreement: the text of EULA.txt beside the launcher, and the
// choice to agree (on to the platform selection) or not.
#pragma once

#include "framework/app/Dialog.h"

class CAgreementDlg : public CDialog {
public:
    explicit CAgreementDlg(CWnd* pParent = nullptr);

    // The most of the agreement that is read and shown: far more than any
    // real agreement, little enough to keep the memory it takes bounded.
    static constexpr unsigned long long kMostAgreementBytes = 64ull << 20;

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
